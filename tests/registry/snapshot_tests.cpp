// The settings snapshot against the real registry: what a backup takes, and
// what a restore writes back or, refused, leaves alone.
#include <cstdio>

#include "platform/registry_keys.h"
#include "core/service_watchers.h"
#include "prefs/settings_snapshot_registry.h"
#include "registry_probe.h"

static RawValue Typed(DWORD type, std::vector<BYTE> data)
{
    RawValue value = Binary(data);
    value.type = type;
    return value;
}

static void MakeEmptyKey(const wchar_t* sub)
{
    HKEY key = CreateKeyPath(OpenUnder(L""), sub);
    if (key)
        RegCloseKey(key);
}

// The agent's watcher owns this event; here the restore pulses a stand-in
// that a thread waits on, which shows the pulse came.
HANDLE SettingsReloadEvent;

static DWORD WINAPI AwaitReload(void*)
{
    return WaitForSingleObject(SettingsReloadEvent, 5000);
}

void SnapshotTests()
{
    // No agent key: the bare header, which a restore refuses.
    std::vector<uint8_t> snapshot;
    CHECK(TakeSettingsSnapshot(&snapshot) && snapshot.size() == 18 && snapshot[8] == 0 && snapshot[9] == 0);
    CHECK(!RestoreSettingsSnapshot(snapshot.data(), snapshot.size()) && !KeyExists(L""));

    // One value and one empty key: the value first, 34 bytes in all.
    Put(L"", L"A", Dword(5));
    MakeEmptyKey(L"B");
    CHECK(TakeSettingsSnapshot(&snapshot));
    CHECK(snapshot.size() == 34 && snapshot[18] == 1 && snapshot[19] == 8 && snapshot[28] == 1);

    // A tree as the agent keeps it, with a type the format has no kind for.
    CHECK(CleanAgentKey());
    Put(L"General", L"ShowMonitorWindows", Binary({1}));
    Put(L"Monitors\\0000", L"InterfaceName", String(L"Gigabit Ethernet Adapter (PCI)"));
    Put(L"Monitors\\0000", L"TransparentLevel", Dword(30));
    Put(L"Monitors\\0000", L"Path", Typed(REG_EXPAND_SZ, {'%', 0, 'X', 0, '%', 0, 0, 0}));
    Put(L"Monitors\\0001\\Deeper", L"Mark", Dword(7));
    Put(L"Monitors\\0000", L"Odd\\Name", Dword(3));  // an ordinary value name: no name is checked
    MakeEmptyKey(L"Monitors\\Empty");
    CHECK(TakeSettingsSnapshot(&snapshot));

    // Changed and added after the backup; the restore overwrites the first
    // and keeps the second.
    Put(L"General", L"ShowMonitorWindows", Binary({0}));
    Put(L"Monitors\\0000", L"TransparentLevel", Dword(90));
    Put(L"Monitors\\0000", L"Added", Dword(1));
    Put(L"Monitors\\0000", L"Odd\\Name", Dword(4));
    HKEY monitors = OpenUnder(L"Monitors");
    CHECK(DeleteKeyTree(monitors, L"0001") == ERROR_SUCCESS);
    RegCloseKey(monitors);

    // Refused whole: one byte more than the stored total writes nothing.
    std::vector<uint8_t> longer = snapshot;
    longer.push_back(0);
    CHECK(!RestoreSettingsSnapshot(longer.data(), longer.size()));
    CHECK(ReadRaw(L"Monitors\\0000", L"TransparentLevel") == Dword(90) && !KeyExists(L"Monitors\\0001"));

    SettingsReloadEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE waiter = CreateThread(nullptr, 0, AwaitReload, nullptr, 0, nullptr);
    Sleep(200);  // the waiter must be waiting before a pulse can reach it
    CHECK(RestoreSettingsSnapshot(snapshot.data(), snapshot.size()));
    DWORD woke = WAIT_FAILED;
    CHECK(waiter && WaitForSingleObject(waiter, 6000) == WAIT_OBJECT_0 && GetExitCodeThread(waiter, &woke) &&
          woke == WAIT_OBJECT_0);
    if (waiter)
        CloseHandle(waiter);
    CloseHandle(SettingsReloadEvent);
    SettingsReloadEvent = nullptr;
    CHECK(ReadRaw(L"General", L"ShowMonitorWindows") == Binary({1}));
    CHECK(ReadRaw(L"Monitors\\0000", L"TransparentLevel") == Dword(30));
    CHECK(ReadRaw(L"Monitors\\0000", L"Path") == Binary({'%', 0, 'X', 0, '%', 0, 0, 0}));
    CHECK(ReadRaw(L"Monitors\\0000", L"Added") == Dword(1) && ReadRaw(L"Monitors\\0000", L"Odd\\Name") == Dword(3));
    CHECK(ReadRaw(L"Monitors\\0001\\Deeper", L"Mark") == Dword(7) && KeyExists(L"Monitors\\Empty"));
}
