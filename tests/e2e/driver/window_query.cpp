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

struct Query {
    const wchar_t* caption;
    const DriverArgs* args;
    HWND found;
};

static BOOL CALLBACK Match(HWND window, LPARAM context)
{
    Query* query = (Query*)context;
    wchar_t caption[512];
    // The caption wine keeps with the window: a busy owner does not stall the scan.
    GetWindowTextW(window, caption, 512);
    if (wcscmp(caption, query->caption) || (query->args->shownOnly && !IsWindowVisible(window)) ||
        (query->args->messageBoxOnly &&
         !(IsClass(window, L"#32770") && IsClass(GetDlgItem(window, 0xFFFF), L"Static"))))
        return TRUE;
    query->found = window;
    return FALSE;
}

HWND FindTopLevel(const wchar_t* caption, const DriverArgs* args)
{
    if (!wcsncmp(caption, L"hwnd:", 5)) {
        HWND window = HWND(ULONG_PTR(wcstoull(caption + 5, nullptr, 0)));
        return IsWindow(window) ? window : nullptr;
    }
    Query query = {caption, args, nullptr};
    EnumWindows(Match, LPARAM(&query));
    return query.found;
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
