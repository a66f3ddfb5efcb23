// The agent's own on/off options under Software\Merovax\ZorvanHAgent.
#pragma once

#include <windows.h>

struct StartupOptionsRecord {
    bool SetDisableState;  // also the run-time disabled state
    bool ShowMonitorWindows;
    bool ShowStatisticsWindow;
};

struct StatisticWindowOptionsRecord {
    bool ShowWindowOnTop;
    bool HideMSInTime;
    bool DontConsiderHardwareHeaders;
    bool AverageSpeedInBytesPerSecond;
    bool SpeedInBytesPerSecond;
};

extern StartupOptionsRecord StartupOptions;
extern StatisticWindowOptionsRecord StatisticWindowOptions;

// `section` is L"General" or L"StatisticWindow". Returns the subkey or null.
HKEY OpenAgentSettingsKey(const wchar_t* section, bool create, bool writable);

// Reads a one-byte flag into `flag` (any byte value, kept as it is; left as
// preset when missing or not one REG_BINARY byte) unless writeOnly, then always
// writes it back. Readers take any non-zero byte as on.
LONG SyncFlagValue(HKEY key, BYTE* flag, const wchar_t* name, bool writeOnly);

// The statistics window's options read over what is in memory. With
// writeBack (administrators, on a key opened for writing) every value is then
// written back, completing the key; otherwise the key is only read.
void SyncStatisticWindowOptions(HKEY key, bool writeBack);

// The start-up load: fills StartupOptions from General, completing the key.
void LoadStartupOptions();
