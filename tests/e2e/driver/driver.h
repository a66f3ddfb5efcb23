// What the driver's commands share: their words, their replies, and how
// they find the agent's windows.
#pragma once

#include <windows.h>

#include <string>

// Exit codes of every command.
const int Met = 0, NotMet = 1, BadUsage = 2;

struct DriverArgs {
    const wchar_t* name;
    // Positional words after the command's name (options may stand
    // anywhere); "" past the last one.
    int count;
    const wchar_t* words[64];
    DWORD timeoutMs, start;
    // The first words read as numbers (0 where they are none).
    ULONGLONG number[4];
    // Only "#32770" windows with a 0xFFFF static text, only visible ones.
    bool messageBoxOnly, shownOnly, click;
    // words[0] found, and its control words[1] where the command names one.
    HWND window, target;
};

// Output goes out as UTF-8 lines with plain '\n', whatever the code page;
// errors too, so that a failing call shows why.
void Print(const wchar_t* format, ...);
void PrintRect(const RECT&);
std::wstring Widen(const std::string&);
std::string Narrow(const wchar_t*);
bool IsClass(HWND window, const wchar_t* name);

// A caption of the form "hwnd:0x1234" names a window directly.
HWND FindTopLevel(const wchar_t* caption, const DriverArgs*);
// Sleeps a moment; false once the command's time is up.
bool WaitStep(const DriverArgs*);
// A window is found as soon as it exists, while a dialog may still be making
// its controls.
HWND WaitControl(HWND window, int id, const DriverArgs*);
bool ReadWindowText(HWND window, wchar_t* buffer, int capacity);
HDESK WaitDesktop(const DriverArgs*, const wchar_t* name);

// A 32-bit top-down picture (0x00RRGGBB) in a memory DC.
struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    DWORD* pixels;
    int width, height;
};
// What the screen shows at that place and size.
bool GrabScreen(Canvas* canvas, const RECT& area);
void CloseCanvas(Canvas*);
// Which standard icon a message box shows, told by its pixels: icon handles
// mean nothing across processes.
const wchar_t* MessageBoxIcon(HWND box);
