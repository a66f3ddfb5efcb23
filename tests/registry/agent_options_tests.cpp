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

    CHECK(CleanAgentKey());
    const wchar_t* names[] = {L"SetDisableStateZorvanHAgent", L"ShowMonitorWindows", L"ShowStatisticsWindow"};
    DWORD handles = HandleCount();
    StartupOptions = {true, true, true};
    LoadStartupOptions();
    CHECK(!StartupOptions.SetDisableState && !StartupOptions.ShowMonitorWindows &&
          !StartupOptions.ShowStatisticsWindow);
    for (const wchar_t* name : names)
        CHECK(ReadRaw(L"General", name) == Binary({0}));
    Put(L"General", names[0], Dword(1));
    Put(L"General", names[2], Binary({1}));
    LoadStartupOptions();
    CHECK(!StartupOptions.SetDisableState && !StartupOptions.ShowMonitorWindows && StartupOptions.ShowStatisticsWindow);
    CHECK(ReadRaw(L"General", names[0]) == Binary({0}) && ReadRaw(L"General", names[2]) == Binary({1}));
    // Any non-zero byte means on and stays stored as it is.
    Put(L"General", names[1], Binary({2}));
    LoadStartupOptions();
    CHECK(StartupOptions.ShowMonitorWindows && ReadRaw(L"General", names[1]) == Binary({2}));
    CHECK(!handles || HandleCount() == handles);
}
