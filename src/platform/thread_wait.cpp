#include "platform/thread_wait.h"

bool WaitForThreadsAnswering(HANDLE* threads, DWORD count, DWORD timeoutMs)
{
    DWORD ended = 0;
    const DWORD start = GetTickCount();
    while (ended < count) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD spent = GetTickCount() - start;
        if (timeoutMs != INFINITE && spent >= timeoutMs)
            return false;
        DWORD wait = timeoutMs == INFINITE ? INFINITE : timeoutMs - spent;
        DWORD left = count - ended;
        DWORD woke = MsgWaitForMultipleObjects(left, threads + ended, FALSE, wait, QS_SENDMESSAGE);
        if (woke < WAIT_OBJECT_0 + left) {
            // The ended one moves to the front, out of the next wait.
            HANDLE done = threads[ended + woke - WAIT_OBJECT_0];
            threads[ended + woke - WAIT_OBJECT_0] = threads[ended];
            threads[ended] = done;
            ++ended;
        } else if (woke != WAIT_OBJECT_0 + left) {
            return false;
        }
    }
    return true;
}

bool WaitForThreadAnswering(HANDLE thread, DWORD timeoutMs)
{
    return WaitForThreadsAnswering(&thread, 1, timeoutMs);
}
