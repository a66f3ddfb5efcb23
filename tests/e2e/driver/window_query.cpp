#include "window_query.h"

#include <cwchar>

struct QueryState {
    const wchar_t* caption;
    const DriverArgs* args;
    HWND found;
};

bool ReadWindowText(HWND window, wchar_t* buffer, int capacity)
{
    buffer[0] = 0;
    DWORD_PTR copied = 0;
    // WM_GETTEXT with a time-out: a hung owner must not hang the driver.
    if (!SendMessageTimeoutW(window, WM_GETTEXT, (WPARAM)capacity, (LPARAM)buffer, SMTO_ABORTIFHUNG, 2000, &copied))
        return false;
    buffer[capacity - 1] = 0;
    return true;
}

bool IsMessageBox(HWND window)
{
    wchar_t className[64];
    if (GetClassNameW(window, className, 64) == 0 || wcscmp(className, L"#32770") != 0)
        return false;
    HWND text = GetDlgItem(window, MessageTextId);
    if (text == nullptr)
        return false;
    return GetClassNameW(text, className, 64) != 0 && _wcsicmp(className, L"Static") == 0;
}

static bool Matches(HWND window, const QueryState* state)
{
    const DriverArgs* args = state->args;
    if (args->shownOnly && !IsWindowVisible(window))
        return false;
    wchar_t caption[512];
    // GetWindowTextW reads the caption wine keeps with the window, so a busy
    // owner thread does not stall the scan.
    GetWindowTextW(window, caption, 512);
    if (wcscmp(caption, state->caption) != 0)
        return false;
    return !args->messageBoxOnly || IsMessageBox(window);
}

static BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    QueryState* state = (QueryState*)context;
    if (!Matches(window, state))
        return TRUE;
    state->found = window;
    return FALSE;
}

HWND FindTopLevel(const wchar_t* caption, const DriverArgs* args)
{
    if (wcsncmp(caption, L"hwnd:", 5) == 0) {
        ULONGLONG handle = 0;
        if (!ParseNumber(caption + 5, &handle))
            return nullptr;
        HWND window = (HWND)(ULONG_PTR)handle;
        return IsWindow(window) ? window : nullptr;
    }
    QueryState state = {caption, args, nullptr};
    EnumWindows(MatchWindow, (LPARAM)&state);
    return state.found;
}

bool WaitStep(DWORD startTick, DWORD timeoutMs)
{
    if (GetTickCount() - startTick >= timeoutMs)
        return false;
    Sleep(50);
    return true;
}

HWND WaitControl(HWND window, int id, DWORD startTick, DWORD timeoutMs)
{
    for (;;) {
        HWND control = GetDlgItem(window, id);
        if (control != nullptr || !IsWindow(window) || !WaitStep(startTick, timeoutMs))
            return control;
    }
}

HWND WaitTopLevel(const wchar_t* caption, const DriverArgs* args, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindTopLevel(caption, args);
        if (window != nullptr || !WaitStep(start, timeoutMs))
            return window;
    }
}
