// Process-wide facts set by start-up before the first background thread
// starts, read-only afterwards.
#pragma once

#include <windows.h>

extern HINSTANCE AppInstance;
extern HANDLE StillRunningMutex;
extern bool IsAdmin;
