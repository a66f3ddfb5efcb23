// Conditions the driver waits for itself, answering as soon as they hold;
// when time runs out the answer is what was seen last, for the failure
// message.
#include "driver.h"

#include <cwchar>

// What a person's keys would reach: the focus of the window's thread. With
// an id, waits until it is on a control of that id inside the window (a
// page's control counts: a page is a child dialog).
int Focus(const DriverArgs* args)
{
    HWND focus;
    bool found;
    do {
        GUITHREADINFO info = {sizeof info};
        GetGUIThreadInfo(GetWindowThreadProcessId(args->window, nullptr), &info);
        focus = info.hwndFocus;
        found =
            focus && (args->count < 2 || (GetDlgCtrlID(focus) == int(args->number[1]) && IsChild(args->window, focus)));
    } while (!found && WaitStep(args));
    wchar_t name[256] = L"", text[512];
    GetClassNameW(focus, name, 256);
    ReadWindowText(focus, text, 512);
    Print(focus ? L"%d\t%ls\t%ls" : L"none", GetDlgCtrlID(focus), name, text);
    return found ? Met : NotMet;
}

// Until that window is in front, where typed keys go; prints the caption of
// the window that is.
int WaitActive(const DriverArgs* args)
{
    wchar_t caption[512];
    bool met;
    do {
        HWND front = GetForegroundWindow();
        met = front && front == FindTopLevel(args->words[0], args);
        GetWindowTextW(front, caption, 512);
    } while (!met && WaitStep(args));
    Print(L"%ls", caption);
    return met ? Met : NotMet;
}

// wait-text and wait-enabled. The control is looked up afresh on each try:
// a page that re-creates its controls must not leave a stale handle.
int WaitControlState(const DriverArgs* args)
{
    wchar_t seen[4096] = L"absent";
    bool met;
    do {
        HWND control = GetDlgItem(FindTopLevel(args->words[0], args), int(args->number[1]));
        if (control && args->name[5] == L't')
            ReadWindowText(control, seen, 4096);
        else if (control)
            wcscpy(seen, IsWindowEnabled(control) ? L"on" : L"off");
        met = control && !wcscmp(seen, args->words[2]);
    } while (!met && WaitStep(args));
    Print(L"%ls", seen);
    return met ? Met : NotMet;
}

// A virtual desktop's explorer ends a few seconds after the last process
// that uses it; a thread of the driver that sits on it keeps it, with its
// taskbar, for the whole run.
static DWORD WINAPI Hold(void* desktop)
{
    if (SetThreadDesktop(HDESK(desktop)))
        GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}

int HoldDesktop(const DriverArgs* args)
{
    HDESK desktop = WaitDesktop(args, args->words[0]);
    HANDLE thread = desktop ? CreateThread(nullptr, 0, Hold, desktop, 0, nullptr) : nullptr;
    CloseHandle(thread);
    return thread ? Met : NotMet;
}
