// The settings snapshot against the real registry: what a backup takes, and
// what a restore writes back or, refused, leaves alone.
#include "platform/registry_keys.h"
#include "core/service_watchers.h"
#include "prefs/settings_snapshot_registry.h"
#include "registry_probe.h"

// The agent's watcher owns this event; the e2e cases see the reload it starts.
HANDLE SettingsReloadEvent;

void SnapshotTests()
{
    // No agent key: the bare header, which a restore refuses.
    std::vector<uint8_t> snapshot;
    CHECK(TakeSettingsSnapshot(&snapshot) && !RestoreSettingsSnapshot(snapshot.data(), snapshot.size()));
    CHECK(!KeyExists(L""));

    // A tree as the agent keeps it, with a type the format has no kind for.
    const std::vector<BYTE> path = {'%', 0, 'X', 0, '%', 0, 0, 0};
    Put(L"General", L"ShowMonitorWindows", Binary({1}));
    Put(L"Monitors\\0000", L"TransparentLevel", Dword(30));
    Put(L"Monitors\\0000", L"Name", String(L"{A}"));
    Put(L"Monitors\\0000", L"Path", {REG_EXPAND_SZ, path});
    Put(L"Monitors\\0001\\Deeper", L"Mark", Dword(7));
    RegCloseKey(CreateKeyPath(OpenUnder(L""), L"Monitors\\Empty"));
    CHECK(TakeSettingsSnapshot(&snapshot));

    // Changed and added after the backup; the restore overwrites the first
    // and keeps the second.
    Put(L"General", L"ShowMonitorWindows", Binary({0}));
    Put(L"Monitors\\0000", L"TransparentLevel", Dword(90));
    Put(L"Monitors\\0000", L"Added", Dword(1));
    HKEY monitors = OpenUnder(L"Monitors");
    CHECK(DeleteKeyTree(monitors, L"0001") == ERROR_SUCCESS);
    RegCloseKey(monitors);

    // Refused whole: one byte more than the stored total writes nothing.
    std::vector<uint8_t> longer = snapshot;
    longer.push_back(0);
    CHECK(!RestoreSettingsSnapshot(longer.data(), longer.size()));
    CHECK(ReadRaw(L"Monitors\\0000", L"TransparentLevel") == Dword(90) && !KeyExists(L"Monitors\\0001"));

    CHECK(RestoreSettingsSnapshot(snapshot.data(), snapshot.size()));
    CHECK(ReadRaw(L"General", L"ShowMonitorWindows") == Binary({1}) &&
          ReadRaw(L"Monitors\\0000", L"TransparentLevel") == Dword(30) &&
          ReadRaw(L"Monitors\\0000", L"Path") == Binary(path) && ReadRaw(L"Monitors\\0000", L"Added") == Dword(1) &&
          ReadRaw(L"Monitors\\0000", L"Name") == String(L"{A}"));
    CHECK(ReadRaw(L"Monitors\\0001\\Deeper", L"Mark") == Dword(7) && KeyExists(L"Monitors\\Empty"));
}
