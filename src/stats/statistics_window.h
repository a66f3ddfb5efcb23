// The statistics window: dialog 113 on a thread of its own, at most once.
#pragma once

#include <windows.h>

extern HWND StatisticsWindow;

// Starts the window's thread; on the main window's thread only.
void StartStatisticsWindow();

// Thread routine: runs dialog 113 until it ends.
DWORD WINAPI OpenStatisticsWindow(void* parameter);

// For the status watcher: counts the notification and posts it.
void PostStatisticsStatusChange();

// For the shutdown: ends the window if it is open or still starting (an
// unload through the exit window closes nothing first), closing a clear
// question first, and returns once its thread is done, so that a request
// still on its way has come back and its reply was handed back before the
// library goes; or after `timeoutMs`, when the window's thread keeps
// what it made. No window opens afterwards.
void EndStatisticsWindowAndWait(DWORD timeoutMs);
