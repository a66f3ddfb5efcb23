// What any program on the desktop can send the agent's windows.
#include "driver.h"

#include <shellapi.h>

#include <cwchar>

// "name:Text" stands for the registered message of that name.
int SendOrPost(const DriverArgs* args)
{
    const wchar_t* word = args->words[1];
    UINT message = wcsncmp(word, L"name:", 5) ? UINT(args->number[1]) : RegisterWindowMessageW(word + 5);
    WPARAM w = WPARAM(args->number[2]);
    LPARAM l = LPARAM(args->number[3]);
    DWORD_PTR result = 0;
    if (args->name[0] == L'p')
        return PostMessageW(args->window, message, w, l) ? Met : NotMet;
    if (!SendMessageTimeoutW(args->window, message, w, l, SMTO_ABORTIFHUNG, args->timeoutMs, &result)) {
        Print(L"no answer, error %lu", GetLastError());
        return NotMet;
    }
    Print(L"0x%llx", ULONGLONG(result));
    return Met;
}

// Every message from first to last but skip, posted and sent with lParam 0,
// 0x10 and all ones; a send may wait 200 ms. Prints how many sends went
// unanswered.
int Flood(const DriverArgs* args)
{
    unsigned unanswered = 0;
    DWORD_PTR result = 0;
    for (ULONGLONG message = args->number[1]; message <= args->number[2]; ++message) {
        for (LPARAM lParam : {LPARAM(0), LPARAM(0x10), LPARAM(-1)}) {
            if (message == args->number[3])
                continue;
            PostMessageW(args->window, UINT(message), 0, lParam);
            unanswered += !SendMessageTimeoutW(args->window, UINT(message), 0, lParam, SMTO_ABORTIFHUNG, 200, &result);
        }
    }
    Print(L"%u", unanswered);
    return Met;
}

// Posts WM_COMMAND as the button would, so a handler that opens a modal
// window does not block the driver; --click sends BM_CLICK instead. A
// command without a control of its own is posted all the same, once the
// time-out has passed.
int Press(const DriverArgs* args)
{
    int id = int(args->number[1]);
    HWND control = WaitControl(args->window, id, args);
    DWORD_PTR result = 0;
    if (args->click)
        return control && SendMessageTimeoutW(control, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, args->timeoutMs, &result)
            ? Met
            : NotMet;
    if (!PostMessageW(args->window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(control)))
        return NotMet;
    // An answered message box closes; until it has, the next look for a
    // message box would find this one again.
    while (args->messageBoxOnly && IsWindow(args->window))
        if (!WaitStep(args))
            return NotMet;
    return Met;
}

// Down and up of a virtual key, posted to a window of the target thread: a
// menu in TrackPopupMenu reads them from that thread's queue.
int Key(const DriverArgs* args)
{
    PostMessageW(args->window, WM_KEYDOWN, WPARAM(args->number[1]), 1);
    return PostMessageW(args->window, WM_KEYUP, WPARAM(args->number[1]), 0xC0000001) ? Met : NotMet;
}

// Takes away the window's notification icon, as a shell restart would.
int TrayDelete(const DriverArgs* args)
{
    NOTIFYICONDATAW data = {NOTIFYICONDATAW_V1_SIZE, args->window};
    return Shell_NotifyIconW(NIM_DELETE, &data) ? Met : NotMet;
}
