// The one-byte option flags under General and the statistics window's.
#include "prefs/agent_options.h"
#include "registry_probe.h"

void AgentOptionTests()
{
    CHECK(OpenAgentSettingsKey(L"General", false, false) == nullptr && !KeyExists(L""));
    HKEY general = OpenAgentSettingsKey(L"General", true, true);
    CHECK(general && KeyExists(L"General"));
    // Only a single REG_BINARY byte is taken, whatever its value, and written
    // back as it is, unless only written; each preset differs from what a
    // misreading would give.
    const struct {
        Raw stored;
        BYTE preset, expected;
        bool writeOnly;
    } cases[] = {{Raw(), 1, 1, 0},    {Binary({}), 1, 1, 0},     {Binary({7}), 1, 7, 0},
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

    // Without write-back (not an administrator) the statistics window's
    // options are only read, even from a key that could be written.
    Put(L"StatisticWindow", L"HideMSInTime", Binary({0}));
    HKEY stats = OpenAgentSettingsKey(L"StatisticWindow", false, true);
    StatisticWindowOptions.HideMSInTime = true;
    SyncStatisticWindowOptions(stats, false);
    CHECK(!StatisticWindowOptions.HideMSInTime && Count(L"StatisticWindow", true) == 1);
    RegCloseKey(stats);
}
