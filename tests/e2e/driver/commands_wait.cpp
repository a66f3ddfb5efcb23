// Conditions the driver waits for itself, answering as soon as they hold;
// when time runs out the answer is what was seen last, for the failure
// message.
#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <cwchar>

// The control words[1] of window words[0], looked up afresh on each try:
// a page that re-creates its controls must not leave a stale handle.
static HWND FindControl(const DriverArgs* args, int id)
{
    HWND window = FindTopLevel(args->words[0], args);
    return window == nullptr ? nullptr : GetDlgItem(window, id);
}

static bool ReadControlId(const DriverArgs* args, int* id)
{
    ULONGLONG number = 0;
    if (!ParseNumber(args->words[1], &number))
        return false;
    *id = (int)number;
    return true;
}

int WaitTextCommand(const DriverArgs* args)
{
    int id = 0;
    if (!ReadControlId(args, &id))
        return UsageError;
    const wchar_t* wanted = args->words[2];
    wchar_t text[4096];
    const wchar_t* seen = L"(no such control)";
    DWORD start = GetTickCount();
    do {
        HWND control = FindControl(args, id);
        if (control != nullptr && ReadWindowText(control, text, 4096)) {
            seen = text;
            if (wcscmp(text, wanted) == 0) {
                PrintLine(L"%ls", text);
                return ConditionMet;
            }
        }
    } while (WaitStep(start, args->timeoutMs));
    PrintLine(L"%ls", seen);
    return ConditionNotMet;
}

int WaitEnabledCommand(const DriverArgs* args)
{
    int id = 0;
    if (!ReadControlId(args, &id))
        return UsageError;
    bool wantEnabled = wcscmp(args->words[2], L"on") == 0;
    if (!wantEnabled && wcscmp(args->words[2], L"off") != 0)
        return UsageError;
    const wchar_t* seen = L"absent";
    DWORD start = GetTickCount();
    do {
        HWND control = FindControl(args, id);
        if (control != nullptr) {
            bool enabled = (GetWindowLongW(control, GWL_STYLE) & WS_DISABLED) == 0;
            seen = enabled ? L"on" : L"off";
            if (enabled == wantEnabled) {
                PrintLine(L"%ls", seen);
                return ConditionMet;
            }
        }
    } while (WaitStep(start, args->timeoutMs));
    PrintLine(L"%ls", seen);
    return ConditionNotMet;
}

// A window of that caption on show; hidden ones of the same caption, as the
// preferences window keeps while closed, do not count.
int WaitShownCommand(const DriverArgs* args)
{
    DriverArgs query = *args;
    query.shownOnly = true;
    return WaitWindowCommand(&query);
}

// A virtual desktop's explorer ends a few seconds after the last process
// that uses the desktop; a thread of the driver that sits on it keeps it,
// with its taskbar, for the whole run.
static DWORD WINAPI HoldDesktop(void* context)
{
    HDESK desktop = (HDESK)context;
    if (SetThreadDesktop(desktop))
        GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}

int HoldDesktopCommand(const DriverArgs* args)
{
    DWORD start = GetTickCount();
    HDESK desktop = OpenDesktopW(args->words[0], 0, FALSE, GENERIC_ALL);
    while (desktop == nullptr && WaitStep(start, args->timeoutMs))
        desktop = OpenDesktopW(args->words[0], 0, FALSE, GENERIC_ALL);
    if (desktop == nullptr)
        return ConditionNotMet;
    HANDLE thread = CreateThread(nullptr, 0, HoldDesktop, desktop, 0, nullptr);
    if (thread == nullptr)
        return ConditionNotMet;
    CloseHandle(thread);
    return ConditionMet;
}
