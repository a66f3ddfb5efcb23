#pragma once

#include "driver_args.h"

#include <windows.h>

const int MessageTextId = 0xFFFF;

// A caption of the form "hwnd:0x1234" names a window directly.
HWND FindTopLevel(const wchar_t* caption, const DriverArgs* args);
HWND WaitTopLevel(const wchar_t* caption, const DriverArgs* args, DWORD timeoutMs);
bool IsMessageBox(HWND window);
bool ReadWindowText(HWND window, wchar_t* buffer, int capacity);
bool WaitStep(DWORD startTick, DWORD timeoutMs);
// A dialog's control, waited for until the time-out that began at
// startTick: a window is found as soon as it exists, while its dialog may
// still be making its controls.
HWND WaitControl(HWND window, int id, DWORD startTick, DWORD timeoutMs);
