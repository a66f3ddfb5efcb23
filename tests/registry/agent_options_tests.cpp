// The one-byte option flags under General and the start-up load.
#include <cstdio>

#include "prefs/agent_options.h"
#include "registry_probe.h"

void AgentOptionTests()
{
    CHECK(OpenAgentSettingsKey(L"General", false, false) == nullptr && !KeyExists(L""));
    HKEY general = OpenAgentSettingsKey(L"General", true, true);
    CHECK(general && KeyExists(L"General"));
    // A single stored byte is taken and written back as it is, whatever its
    // value; each preset differs from what a misreading would give.
    struct Case {
        const char* what;
        RawValue stored;
        BYTE preset, expected;
    } cases[] = {
        {"missing", RawValue(), 1, 1},      {"byte 1", Binary({1}), 0, 1},          {"byte 0", Binary({0}), 1, 0},
        {"REG_DWORD 1", Dword(1), 0, 0},    {"two bytes", Binary({1, 0}), 0, 0},    {"byte 7", Binary({7}), 1, 7},
        {"empty binary", Binary({}), 1, 1}, {"byte 0xFF", Binary({0xFF}), 0, 0xFF},
    };
    for (const Case& c : cases) {
        RegDeleteValueW(general, L"Flag");
        if (c.stored.present)
            Put(L"General", L"Flag", c.stored);
        BYTE flag = c.preset;
        LONG result = SyncFlagValue(general, &flag, L"Flag", false);
        if (!CHECK(result == ERROR_SUCCESS && flag == c.expected && ReadRaw(L"General", L"Flag") == Binary({flag})))
            printf("  with a stored value: %s\n", c.what);
    }
    BYTE flag = 0;
    Put(L"General", L"Flag", Binary({1}));
    SyncFlagValue(general, &flag, L"Flag", true);
    CHECK(flag == 0 && ReadRaw(L"General", L"Flag") == Binary({0}));
    RegCloseKey(general);

    // The start-up load writes a missing option as 0; any non-zero byte is on
    // and stays stored as it is, a value of another form is off and repaired.
    CHECK(CleanAgentKey());
    DWORD handles = HandleCount();
    StartupOptions = {true, true, true};
    LoadStartupOptions();
    CHECK(!StartupOptions.SetDisableState && !StartupOptions.ShowMonitorWindows &&
          !StartupOptions.ShowStatisticsWindow && ReadRaw(L"General", L"ShowMonitorWindows") == Binary({0}));
    Put(L"General", L"SetDisableStateZorvanHAgent", Dword(1));
    Put(L"General", L"ShowMonitorWindows", Binary({2}));
    LoadStartupOptions();
    CHECK(!StartupOptions.SetDisableState && StartupOptions.ShowMonitorWindows && !StartupOptions.ShowStatisticsWindow);
    CHECK(ReadRaw(L"General", L"SetDisableStateZorvanHAgent") == Binary({0}) &&
          ReadRaw(L"General", L"ShowMonitorWindows") == Binary({2}) &&
          ReadRaw(L"General", L"ShowStatisticsWindow") == Binary({0}));
    CHECK(!handles || HandleCount() == handles);
}
