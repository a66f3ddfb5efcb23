// The Monitor(s) page: the stored settings of one or several monitor
// windows edited at once, applied to the registry and to open monitors.
#pragma once

#include <windows.h>

INT_PTR CALLBACK MonitorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
