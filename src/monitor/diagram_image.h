// The GDI side of a monitor's diagram: the arrow pen, the measured time-span
// text and the DIB section that holds the pixel image between paints.
#pragma once

#include <windows.h>

#include "monitor/monitor_record.h"

// When the window opens: the arrow pen in the current "Time arrow" colour
// (kept until the window closes), then the layout. False when the layout
// could not get its memory or image; the window then shows no diagram.
bool OpenMonitorDiagram(MonitorRecord* record, int clientWidth, int clientHeight);

// Halves, tables and a new image for a client area of this size, then the
// full redraw. The histories survive; the old image goes.
bool LayoutMonitorDiagram(MonitorRecord* record, int clientWidth, int clientHeight);

// When the window closes: the image, the pen, the tables and the histories.
// The font belongs to the settings side (DeleteMonitorFont).
void CloseMonitorDiagram(MonitorRecord* record);
