// Joining threads from a thread that owns windows.
#pragma once

#include <windows.h>

// Waits for every thread to end while answering what other threads send
// to this one's windows: a thread that is sending here ends only once its
// send is answered. False when `timeoutMs` (or INFINITE) ran out first.
bool WaitForThreadsAnswering(HANDLE* threads, DWORD count, DWORD timeoutMs);
bool WaitForThreadAnswering(HANDLE thread, DWORD timeoutMs);
