// The process-wide list of open monitors, newest first, and the mutex that
// guards it, the records' existence and every change of their settings.
#pragma once

#include <windows.h>

#include "monitor/monitor_record.h"

extern MonitorRecord* MonitorList;
// Null until the first monitor opens; then kept for the rest of the run, so
// that no thread can wait on it while another closes it.
extern HANDLE MonitorListMutex;

// Monitor windows are picked out under the mutex but shown, hidden or
// closed only after it is released: each of these sends to the window's
// thread, which may itself be waiting for a thread that wants the mutex.
// `pick` runs under the mutex for each record that has a window, and must
// neither allocate nor send; the picked windows land in `windows`.
const size_t MaxPickedMonitors = 256;
typedef bool (*MonitorPick)(MonitorRecord* record, void* context);
size_t PickMonitorWindows(MonitorPick pick, void* context, HWND* windows, size_t capacity);
// Picks, releases the mutex, then ShowWindow(command) on each picked one.
void ShowPickedMonitors(MonitorPick pick, void* context, int command);

// The record with both names, letter case ignored; the caller holds the
// mutex. Null when there is none.
MonitorRecord* FindMonitor(const Char16* interfaceName, const Char16* interfaceId);
