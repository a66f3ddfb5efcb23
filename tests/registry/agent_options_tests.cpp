// The one-byte option flags under General and the start-up load.
#include "prefs/agent_options.h"
#include "registry_probe.h"

void AgentOptionTests()
{
    CHECK(OpenAgentSettingsKey(L"General", false, false) == nullptr && !KeyExists(L""));
    HKEY general = OpenAgentSettingsKey(L"General", true, true);
    CHECK(general && KeyExists(L"General"));
    // A single stored byte is taken and written back as it is, whatever its
    // value, unless only written; each preset differs from what a misreading
    // would give.
    const struct {
        Raw stored;
        BYTE preset, expected;
        bool writeOnly;
    } cases[] = {{Raw(), 1, 1, 0},    {Binary({0}), 1, 0, 0},    {Binary({7}), 1, 7, 0},
                 {Dword(1), 0, 0, 0}, {Binary({1, 0}), 0, 0, 0}, {Binary({1}), 0, 0, 1}};
    for (const auto& c : cases) {
        RegDeleteValueW(general, L"Flag");
        if (c.stored.first)
            Put(L"General", L"Flag", c.stored);
        BYTE flag = c.preset;
        CHECK(SyncFlagValue(general, &flag, L"Flag", c.writeOnly) == ERROR_SUCCESS && flag == c.expected &&
              ReadRaw(L"General", L"Flag") == Binary({flag}));
    }
    RegCloseKey(general);

    // The start-up load writes a missing option as 0; any non-zero byte is on
    // and stays stored as it is, a value of another form is off and repaired.
    CHECK(CleanAgentKey());
    Put(L"General", L"SetDisableStateZorvanHAgent", Dword(1));
    Put(L"General", L"ShowMonitorWindows", Binary({2}));
    LoadStartupOptions();
    CHECK(!StartupOptions.SetDisableState && StartupOptions.ShowMonitorWindows && !StartupOptions.ShowStatisticsWindow);
    CHECK(ReadRaw(L"General", L"SetDisableStateZorvanHAgent") == Binary({0}) &&
          ReadRaw(L"General", L"ShowMonitorWindows") == Binary({2}) &&
          ReadRaw(L"General", L"ShowStatisticsWindow") == Binary({0}));

    // Without write-back (not an administrator) the statistics window's
    // options are only read, even from a key that could be written.
    Put(L"StatisticWindow", L"HideMSInTime", Binary({0}));
    HKEY stats = OpenAgentSettingsKey(L"StatisticWindow", false, true);
    StatisticWindowOptions.HideMSInTime = StatisticWindowOptions.SpeedInBytesPerSecond = true;
    SyncStatisticWindowOptions(stats, false);
    CHECK(!StatisticWindowOptions.HideMSInTime && StatisticWindowOptions.SpeedInBytesPerSecond &&
          Count(L"StatisticWindow", true) == 1);
    SyncStatisticWindowOptions(stats, true);
    CHECK(Count(L"StatisticWindow", true) == 5 && ReadRaw(L"StatisticWindow", L"SpeedInBytesPerSecond") == Binary({1}));
    RegCloseKey(stats);
}
