// What the driver's commands share: their words, their replies, and how
// they find the agent's windows.
#pragma once

#include <windows.h>

#include <string>

// Exit codes of every command.
const int Met = 0, NotMet = 1, BadUsage = 2;

struct DriverArgs {
    const wchar_t* name;
    // Positional words after the command's name; options may stand anywhere.
    int count;
    wchar_t* words[64];
    DWORD timeoutMs, start;
    // Words the command takes as numbers, parsed.
    ULONGLONG number[4];
    // Only "#32770" windows with a 0xFFFF static text, only visible ones.
    bool messageBoxOnly, shownOnly, click;
    const wchar_t* desktop;
    // words[0] found, and its control words[1] where the command names one.
    HWND window, target;
};

typedef int Handler(const DriverArgs* args);

bool ParseNumber(const wchar_t* text, ULONGLONG* value);
// Output goes out as UTF-8 lines with plain '\n', whatever the code page.
void Print(const wchar_t* format, ...);
void PrintError(const wchar_t* format, ...);
void PrintRect(const RECT& rect);
std::wstring Widen(const std::string& text);
std::string Narrow(const wchar_t* text);

// A caption of the form "hwnd:0x1234" names a window directly.
HWND FindTopLevel(const wchar_t* caption, const DriverArgs* args);
// Sleeps a moment; false once the command's time is up.
bool WaitStep(const DriverArgs* args);
// A window is found as soon as it exists, while a dialog may still be making
// its controls.
HWND WaitControl(HWND window, int id, const DriverArgs* args);
bool ReadWindowText(HWND window, wchar_t* buffer, int capacity);
HDESK WaitDesktop(const DriverArgs* args, const wchar_t* name);
int ScreenDpi();

// A block in the memory of a window's process, for messages whose structure
// the owner reads and writes.
struct Remote {
    HANDLE process;
    char* block;
};
bool OpenRemote(HWND window, SIZE_T size, Remote* remote);
void CloseRemote(Remote* remote);
// Copies local there, sends the block's address, and copies it back.
bool SendRemote(Remote* remote, HWND to, UINT message, WPARAM wParam, void* local, SIZE_T size, DWORD_PTR* result);

// A 32-bit top-down picture (0x00RRGGBB) in a memory DC.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD* pixels;
    int width, height;
};
bool OpenCanvas(Canvas* canvas, int width, int height);
// What the screen shows at that place and size.
bool GrabScreen(Canvas* canvas, const RECT& area);
void CloseCanvas(Canvas* canvas);
// Which standard icon a message box shows, told by its pixels: icon handles
// mean nothing across processes.
const wchar_t* MessageBoxIcon(HWND box);
