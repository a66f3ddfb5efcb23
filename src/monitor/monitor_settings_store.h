// The monitors' settings in the registry: one "%04d" subkey per monitor
// under Software\Merovax\ZorvanHAgent\Monitors, found by its "Name" value,
// and the colour dialog's custom colours beside them.
#pragma once

#include <windows.h>

#include "monitor/monitor_settings.h"

// The subkey whose "Name" is settings' interfaceId (letter case ignored),
// optionally created under the next free number. Null when there is none.
HKEY FindMonitorKey(const MonitorSettings& settings, bool create, bool write, Text16* subkeyName);

// Defaults, then what the registry holds; the key is completed on the way.
// Without createIfMissing an interface with no key keeps the defaults and no
// key is made.
int LoadMonitorSettings(MonitorSettings* settings, bool createIfMissing);
int SaveMonitorSettings(MonitorSettings* settings, bool withPosition);
// Checks the rectangle and writes "SizePositionWindow"; 0 when the monitor
// has no key (then nothing is checked or written).
int SaveMonitorPosition(HKEY key, MonitorSettings* settings);
int DeleteMonitorSettings(const MonitorSettings& settings);

// The 16 custom colours of the colour dialog: read once per run (defaults
// when the stored value is unusable), written back after the dialog.
const uint32_t* LoadCustomColors();
void SaveCustomColors(const uint32_t colors[16]);
