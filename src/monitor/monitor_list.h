// The process-wide list of open monitors, newest first, and the mutex that
// guards it, the records' existence and every change of their settings.
#pragma once

#include <windows.h>

#include "monitor/monitor_record.h"

extern MonitorRecord* MonitorList;
extern HANDLE MonitorListMutex;  // null while no monitor record exists

// The record with both names, letter case ignored; the caller holds the
// mutex. Null when there is none.
MonitorRecord* FindMonitor(const Char16* interfaceName, const Char16* interfaceId);
