// The process-wide list of open monitors, newest first, and the mutex that
// guards it, the records' existence and every change of their settings.
#pragma once

#include <windows.h>

#include <vector>

#include "monitor/monitor_record.h"

extern MonitorRecord* MonitorList;
// Null until the first monitor opens; then kept for the rest of the run, so
// that no thread can wait on it while another closes it.
extern HANDLE MonitorListMutex;

// Monitor windows are picked out under the mutex but shown, hidden or
// closed only after it is released: each of these sends to the window's
// thread, which may itself be waiting for a thread that wants the mutex.
void ShowEachWindow(const std::vector<HWND>& windows, int command);

// The record with both names, letter case ignored; the caller holds the
// mutex. Null when there is none.
MonitorRecord* FindMonitor(const Char16* interfaceName, const Char16* interfaceId);

// Opens the monitor of an interface on threads of its own, or brings its
// window to the front and restores it when it is already open.
void OpenMonitor(const Char16* interfaceName, const Char16* interfaceId);

// Closes every open monitor and waits until their threads have ended.
void CloseMonitors();

// The agent's disabled state: every window hidden and marked, and later
// the marked ones shown again.
void HideMonitorsForDisable();
void ShowMonitorsHiddenByAgent();
