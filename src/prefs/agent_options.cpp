#include "prefs/agent_options.h"

#include "platform/registry_keys.h"

StartupOptionsRecord StartupOptions;
StatisticWindowOptionsRecord StatisticWindowOptions = {false, true, true, false, false};

static const wchar_t AgentKeyPath[] = L"Software\\Merovax\\ZorvanHAgent";

HKEY OpenAgentSettingsKey(const wchar_t* section, bool create, bool writable)
{
    if (create)
        return CreateKeyPath(CreateKeyPath(HKEY_LOCAL_MACHINE, AgentKeyPath), section);
    HKEY agent = nullptr;
    REGSAM access = writable ? (KEY_READ | KEY_WRITE) : KEY_READ;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AgentKeyPath, 0, access, &agent) != ERROR_SUCCESS)
        return nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExW(agent, section, 0, access, &key) != ERROR_SUCCESS)
        key = nullptr;
    RegCloseKey(agent);
    return key;
}

static void ReadFlagValue(HKEY key, BYTE* flag, const wchar_t* name)
{
    BYTE stored[1];
    DWORD type = REG_BINARY;
    DWORD size = 1;
    // A stored byte is taken as it is, whatever its value (any non-zero byte
    // means on); a missing value, or one that is not a single REG_BINARY
    // byte, leaves the preset.
    if (RegQueryValueExW(key, name, nullptr, &type, stored, &size) == ERROR_SUCCESS && type == REG_BINARY && size == 1)
        *flag = stored[0];
}

LONG SyncFlagValue(HKEY key, BYTE* flag, const wchar_t* name, bool writeOnly)
{
    if (!writeOnly)
        ReadFlagValue(key, flag, name);
    return RegSetValueExW(key, name, 0, REG_BINARY, flag, 1);
}

static void SyncStatisticWindowOption(HKEY key, bool* option, const wchar_t* name, bool writeBack)
{
    BYTE flag = *option ? 1 : 0;
    if (writeBack)
        SyncFlagValue(key, &flag, name, false);
    else
        ReadFlagValue(key, &flag, name);
    *option = flag != 0;
}

void SyncStatisticWindowOptions(HKEY key, bool writeBack)
{
    StatisticWindowOptionsRecord& o = StatisticWindowOptions;
    SyncStatisticWindowOption(key, &o.HideMSInTime, L"HideMSInTime", writeBack);
    SyncStatisticWindowOption(key, &o.DontConsiderHardwareHeaders, L"DontConsiderHardwareHeaders", writeBack);
    SyncStatisticWindowOption(key, &o.ShowWindowOnTop, L"ShowWindowOnTop", writeBack);
    SyncStatisticWindowOption(key, &o.AverageSpeedInBytesPerSecond, L"AverageSpeedInBytesPerSecond", writeBack);
    SyncStatisticWindowOption(key, &o.SpeedInBytesPerSecond, L"SpeedInBytesPerSecond", writeBack);
}

static bool SyncStartupFlag(HKEY key, const wchar_t* name)
{
    BYTE flag = 0;
    SyncFlagValue(key, &flag, name, false);
    return flag != 0;
}

void LoadStartupOptions()
{
    HKEY key = OpenAgentSettingsKey(L"General", true, true);
    if (!key)
        return;
    StartupOptions.SetDisableState = SyncStartupFlag(key, L"SetDisableStateZorvanHAgent");
    StartupOptions.ShowMonitorWindows = SyncStartupFlag(key, L"ShowMonitorWindows");
    StartupOptions.ShowStatisticsWindow = SyncStartupFlag(key, L"ShowStatisticsWindow");
    RegCloseKey(key);
}
