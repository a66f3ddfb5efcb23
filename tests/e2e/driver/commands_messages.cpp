#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <cwchar>

struct MessageParts {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

static bool ReadMessageParts(const DriverArgs* args, MessageParts* parts)
{
    ULONGLONG message = 0, wParam = 0, lParam = 0;
    // "name:Text" stands for the registered message of that name.
    if (wcsncmp(args->words[1], L"name:", 5) == 0) {
        message = RegisterWindowMessageW(args->words[1] + 5);
        if (message == 0)
            return false;
    } else if (!ParseNumber(args->words[1], &message)) {
        return false;
    }
    if (args->count > 2 && !ParseNumber(args->words[2], &wParam))
        return false;
    if (args->count > 3 && !ParseNumber(args->words[3], &lParam))
        return false;
    parts->message = (UINT)message;
    parts->wParam = (WPARAM)wParam;
    parts->lParam = (LPARAM)lParam;
    return true;
}

// The message and the window it goes to. Returns ConditionMet with both
// set, or the command's exit code.
static int ReadMessageAndWindow(const DriverArgs* args, MessageParts* parts, HWND* window)
{
    if (!ReadMessageParts(args, parts))
        return UsageError;
    *window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    return *window == nullptr ? ConditionNotMet : ConditionMet;
}

int SendCommand(const DriverArgs* args)
{
    MessageParts parts;
    HWND window = nullptr;
    int found = ReadMessageAndWindow(args, &parts, &window);
    if (found != ConditionMet)
        return found;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, parts.message, parts.wParam, parts.lParam, SMTO_ABORTIFHUNG, args->timeoutMs,
                             &result)) {
        PrintError(L"send: no answer (error %lu)", GetLastError());
        return ConditionNotMet;
    }
    PrintLine(L"0x%llx", (ULONGLONG)result);
    return ConditionMet;
}

int PostCommand(const DriverArgs* args)
{
    MessageParts parts;
    HWND window = nullptr;
    int found = ReadMessageAndWindow(args, &parts, &window);
    if (found != ConditionMet)
        return found;
    return PostMessageW(window, parts.message, parts.wParam, parts.lParam) ? ConditionMet : ConditionNotMet;
}

// The default posts WM_COMMAND as the button would, so a handler that opens
// a modal window does not block the driver; "--click" sends BM_CLICK instead.
int PressCommand(const DriverArgs* args)
{
    bool click = args->count > 2 && wcscmp(args->words[2], L"--click") == 0;
    ULONGLONG id = 0;
    if (!ParseNumber(args->words[1], &id))
        return UsageError;
    DWORD start = GetTickCount();
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    // A command without a control of its own is posted all the same, once
    // the time-out has passed.
    HWND control = WaitControl(window, (int)id, start, args->timeoutMs);
    if (click) {
        if (control == nullptr)
            return ConditionNotMet;
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, args->timeoutMs, &result)
            ? ConditionMet
            : ConditionNotMet;
    }
    WPARAM command = MAKEWPARAM((WORD)id, BN_CLICKED);
    if (!PostMessageW(window, WM_COMMAND, command, (LPARAM)control))
        return ConditionNotMet;
    // An answered message box closes; until it has, the next look for a
    // message box would find this one again.
    if (args->messageBoxOnly) {
        while (IsWindow(window)) {
            if (!WaitStep(start, args->timeoutMs))
                return ConditionNotMet;
        }
    }
    return ConditionMet;
}
