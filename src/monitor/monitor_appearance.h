// Bringing an open monitor in line with its stored settings: options and
// colours into the record, the window's font, and for a window that exists
// its transparency, z order, caption, position, size and a new layout.
#pragma once

#include <windows.h>

#include "monitor/monitor_record.h"
#include "monitor/monitor_settings.h"

// record, or the open monitor with both names when record is null. With
// lock the monitor list's mutex is taken here; callers that hold it, and
// the monitor's own thread, pass false. Loads the settings (creating the
// key with defaults when missing), then either fills a record that has no
// window yet or hands the settings to the window's thread.
void ApplyMonitorSettings(MonitorRecord* record, const Char16* interfaceName, const Char16* interfaceId, bool lock);

// The window's side of WM_MONITOR_APPLY_SETTINGS: ends with the window shown.
void ApplySettingsToWindow(MonitorRecord* record, const MonitorSettings& settings);

// For a record without a window: every option and colour, and the font.
void TakeInitialSettings(MonitorRecord* record, const MonitorSettings& settings);

// The font, when the window closes.
void DeleteMonitorFont(MonitorRecord* record);
