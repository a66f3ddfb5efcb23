#include "commands.h"
#include "driver_output.h"
#include "message_box_icon.h"
#include "window_query.h"

#include <cwchar>

int WaitWindowCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    PrintLine(L"0x%llx", (ULONGLONG)(ULONG_PTR)window);
    return ConditionMet;
}

int WaitGoneCommand(const DriverArgs* args)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (FindTopLevel(args->words[0], args) == nullptr)
            return ConditionMet;
        if (!WaitStep(start, args->timeoutMs))
            return ConditionNotMet;
    }
}

// A top-level window's row carries its process id in the second column, a
// child's its control id, so a control without one (-1) never shows a
// number that could pass for another control's id.
static void PrintWindowRow(HWND window, bool topLevel)
{
    wchar_t className[256];
    wchar_t caption[512];
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (GetClassNameW(window, className, 256) == 0)
        className[0] = 0;
    GetWindowTextW(window, caption, 512);
    long long second = topLevel ? (long long)processId : (long long)GetDlgCtrlID(window);
    PrintLine(L"0x%llx\t%lld\t%ls\t%ls\t%ls", (ULONGLONG)(ULONG_PTR)window, second,
              IsWindowVisible(window) ? L"visible" : L"hidden", className, caption);
}

static BOOL CALLBACK PrintTopLevel(HWND window, LPARAM)
{
    PrintWindowRow(window, true);
    return TRUE;
}

int ListWindowsCommand(const DriverArgs*)
{
    EnumWindows(PrintTopLevel, 0);
    return ConditionMet;
}

static BOOL CALLBACK PrintChild(HWND window, LPARAM)
{
    PrintWindowRow(window, false);
    return TRUE;
}

int ListChildrenCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    EnumChildWindows(window, PrintChild, 0);
    return ConditionMet;
}

// The window of words[0], or its control words[1] when one is named. Returns
// ConditionMet with *target set, or the command's exit code.
static int FindTarget(const DriverArgs* args, HWND* target)
{
    DWORD start = GetTickCount();
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    *target = window;
    if (args->count > 1) {
        ULONGLONG id = 0;
        if (!ParseNumber(args->words[1], &id))
            return UsageError;
        *target = WaitControl(window, (int)id, start, args->timeoutMs);
        if (*target == nullptr)
            return ConditionNotMet;
    }
    return ConditionMet;
}

int TextCommand(const DriverArgs* args)
{
    HWND target = nullptr;
    int found = FindTarget(args, &target);
    if (found != ConditionMet)
        return found;
    wchar_t text[4096];
    if (!ReadWindowText(target, text, 4096))
        return ConditionNotMet;
    PrintText(text);
    PrintText(L"\n");
    return ConditionMet;
}

// Prints one of the target's style words in hex.
static int PrintStyleWord(const DriverArgs* args, int index)
{
    HWND target = nullptr;
    int found = FindTarget(args, &target);
    if (found != ConditionMet)
        return found;
    PrintLine(L"0x%08lx", (unsigned long)GetWindowLongW(target, index));
    return ConditionMet;
}

// Enabled or not is a style bit, which no message reports.
int StyleCommand(const DriverArgs* args)
{
    return PrintStyleWord(args, GWL_STYLE);
}

// Topmost or not is an extended style bit.
int ExStyleCommand(const DriverArgs* args)
{
    return PrintStyleWord(args, GWL_EXSTYLE);
}

int MessageBoxCommand(const DriverArgs* args)
{
    DriverArgs query = *args;
    query.messageBoxOnly = true;
    DWORD start = GetTickCount();
    HWND box = nullptr;
    wchar_t text[4096];
    // A box that closes while it is read was an earlier one: look again.
    for (;;) {
        box = WaitTopLevel(args->words[0], &query, args->timeoutMs);
        if (box == nullptr)
            return ConditionNotMet;
        if (ReadWindowText(GetDlgItem(box, MessageTextId), text, 4096))
            break;
        if (!WaitStep(start, args->timeoutMs))
            return ConditionNotMet;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(box, &processId);
    // The box may still be drawing its icon when it first appears.
    Sleep(300);
    PrintLine(L"hwnd=0x%llx", (ULONGLONG)(ULONG_PTR)box);
    PrintLine(L"pid=%lu", processId);
    PrintLine(L"icon=%ls", IdentifyMessageBoxIcon(box));
    PrintText(L"text=");
    PrintText(text);
    PrintText(L"\n");
    return ConditionMet;
}
