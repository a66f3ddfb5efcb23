// What a window shows: found by the dispatcher, read here.
#include "driver.h"

#include <cwchar>

int WaitWindow(const DriverArgs* args)
{
    Print(L"0x%llx", ULONGLONG(ULONG_PTR(args->target)));
    return Met;
}

int WaitGone(const DriverArgs* args)
{
    while (FindTopLevel(args->words[0], args))
        if (!WaitStep(args))
            return NotMet;
    return Met;
}

// A top-level window's row carries its process id, a child's its control
// id, so a control without one (-1) never shows a number that could pass
// for another control's id.
static BOOL CALLBACK PrintRow(HWND window, LPARAM topLevel)
{
    wchar_t name[256] = L"", caption[512];
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    GetClassNameW(window, name, 256);
    GetWindowTextW(window, caption, 512);
    Print(L"0x%llx\t%d\t%ls\t%ls\t%ls", ULONGLONG(ULONG_PTR(window)), topLevel ? int(pid) : GetDlgCtrlID(window),
          IsWindowVisible(window) ? L"visible" : L"hidden", name, caption);
    return TRUE;
}

int ListWindows(const DriverArgs* args)
{
    if (args->window)
        EnumChildWindows(args->window, PrintRow, 0);
    else
        EnumWindows(PrintRow, 1);
    return Met;
}

// text, style, exstyle, window-rect and layered. Enabled, topmost and the
// like are style bits, which no message reports.
int Property(const DriverArgs* args)
{
    wchar_t kind = args->name[0], text[4096];
    RECT rect;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (kind == L'w' && GetWindowRect(args->target, &rect))
        PrintRect(rect);
    else if (kind == L't' && ReadWindowText(args->target, text, 4096))
        Print(L"%ls", text);
    else if (kind == L's' || kind == L'e')
        Print(L"0x%08lx", GetWindowLongW(args->target, kind == L'e' ? GWL_EXSTYLE : GWL_STYLE));
    else if (kind == L'l' && GetLayeredWindowAttributes(args->target, nullptr, &alpha, &flags) && flags & LWA_ALPHA)
        Print(L"layered %u", alpha);
    else if (kind == L'l')
        // Only a window with WS_EX_LAYERED has those.
        Print(L"opaque");
    else
        return NotMet;
    return Met;
}

// The region's box in window coordinates.
int Region(const DriverArgs* args)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    RECT box;
    if (GetWindowRgn(args->window, region) == ERROR)
        Print(L"none");
    else if (GetRgnBox(region, &box))
        PrintRect(box);
    DeleteObject(region);
    return Met;
}

int ReadMessageBox(const DriverArgs* args)
{
    HWND box = args->window;
    wchar_t text[4096];
    // A box that closes while it is read was an earlier one: look again.
    while (!ReadWindowText(GetDlgItem(box, 0xFFFF), text, 4096)) {
        if (!WaitStep(args))
            return NotMet;
        box = FindTopLevel(args->words[0], args);
    }
    // The box may still be drawing its icon when it first appears; some boxes
    // off the tray's desktop never show readable pixels here: a second tells.
    const DWORD found = GetTickCount();
    const wchar_t* icon;
    while (!wcscmp(icon = MessageBoxIcon(box), L"unknown") && GetTickCount() - found < 1000 && WaitStep(args))
        ;
    Print(L"icon=%ls\ntext=%ls", icon, text);
    return Met;
}
