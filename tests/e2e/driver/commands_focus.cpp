// What a person's keys would reach: the control that has the keyboard focus
// in a window's thread, and which window is in front.
#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <cwchar>

// The focus of the thread that owns the window; nullptr when it has none.
static HWND FocusOf(HWND window)
{
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == 0 || !GetGUIThreadInfo(thread, &info))
        return nullptr;
    return info.hwndFocus;
}

static void PrintFocus(HWND focus)
{
    if (focus == nullptr) {
        PrintLine(L"none");
        return;
    }
    wchar_t className[256];
    wchar_t text[512];
    if (GetClassNameW(focus, className, 256) == 0)
        className[0] = 0;
    ReadWindowText(focus, text, 512);
    PrintLine(L"%d\t%ls\t%ls", GetDlgCtrlID(focus), className, text);
}

// focus <caption> [id]: prints "id class text" of the focused control; with
// an id, waits until the focus is on a control of that id (a page's control
// counts, as a page is a child dialog).
int FocusCommand(const DriverArgs* args)
{
    ULONGLONG wanted = 0;
    if (args->count > 1 && !ParseNumber(args->words[1], &wanted))
        return UsageError;
    DWORD start = GetTickCount();
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    HWND focus = nullptr;
    do {
        focus = FocusOf(window);
        if (args->count == 1 && focus != nullptr)
            break;
        if (args->count > 1 && focus != nullptr && GetDlgCtrlID(focus) == (int)wanted &&
            (focus == window || IsChild(window, focus)))
            break;
    } while (WaitStep(start, args->timeoutMs));
    PrintFocus(focus);
    if (focus == nullptr)
        return ConditionNotMet;
    if (args->count > 1 && (GetDlgCtrlID(focus) != (int)wanted || !IsChild(window, focus)))
        return ConditionNotMet;
    return ConditionMet;
}

// wait-active <caption>: until that window is the active one of the
// desktop, where typed keys go.
int WaitActiveCommand(const DriverArgs* args)
{
    DWORD start = GetTickCount();
    HWND front = nullptr;
    do {
        front = GetForegroundWindow();
        HWND window = FindTopLevel(args->words[0], args);
        if (window != nullptr && front == window) {
            PrintLine(L"0x%llx", (ULONGLONG)(ULONG_PTR)front);
            return ConditionMet;
        }
    } while (WaitStep(start, args->timeoutMs));
    wchar_t caption[512];
    caption[0] = 0;
    if (front != nullptr)
        GetWindowTextW(front, caption, 512);
    PrintLine(L"front: %ls", caption);
    return ConditionNotMet;
}
