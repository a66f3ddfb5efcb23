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

// Every message of the range, but `skip`, posted and sent with lParam 0,
// 0x10 and all ones, as any program on the desktop can; a send may wait
// 200 ms. Prints how many sends went unanswered.
int FloodCommand(const DriverArgs* args)
{
    ULONGLONG first = 0, last = 0, skip = 0;
    if (!ParseNumber(args->words[1], &first) || !ParseNumber(args->words[2], &last) ||
        (args->count > 3 && !ParseNumber(args->words[3], &skip)))
        return UsageError;
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    const LPARAM lParams[] = {0, 0x10, LPARAM(~UINT_PTR(0))};
    unsigned unanswered = 0;
    for (ULONGLONG message = first; message <= last; ++message) {
        if (message == skip)
            continue;
        for (LPARAM lParam : lParams) {
            PostMessageW(window, UINT(message), 0, lParam);
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(window, UINT(message), 0, lParam, SMTO_ABORTIFHUNG, 200, &result))
                ++unanswered;
        }
    }
    PrintLine(L"%u", unanswered);
    return ConditionMet;
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
