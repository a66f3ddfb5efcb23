// What a monitor window paints: the diagram image rotated into place, the
// time arrow under it and the texts over it.
#pragma once

#include <windows.h>

#include "monitor/monitor_record.h"

// Paints into dc in client coordinates (the window's paint DC, or any DC of
// the client's size). The strip around the time arrow is left as it is, so
// the caller erases it with the window's background when it needs that.
void PaintMonitor(const MonitorRecord* record, HDC dc);
