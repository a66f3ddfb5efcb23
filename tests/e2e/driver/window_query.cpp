#include "driver.h"

#include <cwchar>

bool IsClass(HWND window, const wchar_t* name)
{
    wchar_t seen[64];
    return GetClassNameW(window, seen, 64) && !_wcsicmp(seen, name);
}

bool ReadWindowText(HWND window, wchar_t* buffer, int capacity)
{
    buffer[0] = 0;
    DWORD_PTR copied = 0;
    // With a time-out: a hung owner must not hang the driver.
    bool read = SendMessageTimeoutW(window, WM_GETTEXT, capacity, LPARAM(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
    buffer[capacity - 1] = 0;
    return read;
}

// By the caption wine keeps with the window: a busy owner does not stall the
// scan.
HWND FindTopLevel(const wchar_t* caption, const DriverArgs* args)
{
    HWND window = nullptr;
    if (!wcsncmp(caption, L"hwnd:", 5))
        return IsWindow(window = HWND(ULONG_PTR(wcstoull(caption + 5, nullptr, 0)))) ? window : nullptr;
    while ((window = FindWindowExW(nullptr, window, args->messageBoxOnly ? L"#32770" : nullptr, caption)) &&
           ((args->shownOnly && !IsWindowVisible(window)) ||
            (args->messageBoxOnly && !IsClass(GetDlgItem(window, 0xFFFF), L"Static"))))
        ;
    return window;
}

bool WaitStep(const DriverArgs* args)
{
    if (GetTickCount() - args->start >= args->timeoutMs)
        return false;
    Sleep(50);
    return true;
}

HWND WaitControl(HWND window, int id, const DriverArgs* args)
{
    HWND control;
    while (!(control = GetDlgItem(window, id)) && IsWindow(window) && WaitStep(args))
        ;
    return control;
}

// A desktop whose explorer is still making it is waited for.
HDESK WaitDesktop(const DriverArgs* args, const wchar_t* name)
{
    HDESK desktop;
    while (!(desktop = OpenDesktopW(name, 0, FALSE, GENERIC_ALL)) && WaitStep(args))
        ;
    return desktop;
}
