// The settings snapshot against the real registry: what a backup takes, and
// what a restore writes back or, refused, leaves alone.
#include "platform/registry_keys.h"
#include "core/service_watchers.h"
#include "prefs/settings_snapshot_registry.h"
#include "registry_probe.h"

// The agent's watcher owns this event; the e2e cases see the reload it starts.
HANDLE SettingsReloadEvent;

// No registry refuses to read one value on demand, so while a snapshot is
// taken this program's import of RegQueryValueExW points at one that does.
typedef LONG(WINAPI* QueryValue)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
static QueryValue RealQuery;

static LONG WINAPI RefusingQuery(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return name && lstrcmpW(name, L"Blocked") == 0 ? ERROR_ACCESS_DENIED
                                                   : RealQuery(key, name, reserved, type, data, size);
}

static bool PointImport(void* from, void* to)
{
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool pointed = false;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); imports.Size && d->Name;
         ++d)
        for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t)
            if (t->u1.Function == ULONG_PTR(from)) {
                DWORD was;
                VirtualProtect(&t->u1.Function, sizeof t->u1.Function, PAGE_READWRITE, &was);
                t->u1.Function = ULONG_PTR(to);
                VirtualProtect(&t->u1.Function, sizeof t->u1.Function, was, &was);
                pointed = true;
            }
    return pointed;
}

void SnapshotTests()
{
    // No agent key: the bare header, which a restore refuses.
    std::vector<uint8_t> snapshot;
    CHECK(TakeSettingsSnapshot(&snapshot) && !RestoreSettingsSnapshot(snapshot.data(), snapshot.size()));
    CHECK(!KeyExists(L""));

    // A tree as the agent keeps it, with a type the format has no kind for.
    const std::vector<BYTE> path = {'%', 0, 'X', 0, '%', 0, 0, 0};
    Put(L"General", L"ShowMonitorWindows", Binary({1}));
    // Left out once it cannot be read, before the values that come after it.
    Put(L"Monitors\\0000", L"Blocked", Dword(5));
    Put(L"Monitors\\0000", L"TransparentLevel", Dword(30));
    Put(L"Monitors\\0000", L"Name", String(L"{A}"));
    Put(L"Monitors\\0000", L"Path", {REG_EXPAND_SZ, path});
    Put(L"Monitors\\0001\\Deeper", L"Mark", Dword(7));
    RegCloseKey(CreateKeyPath(OpenUnder(L""), L"Monitors\\Empty"));
    RealQuery = reinterpret_cast<QueryValue>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegQueryValueExW")));
    CHECK(PointImport(reinterpret_cast<void*>(RealQuery), reinterpret_cast<void*>(RefusingQuery)));
    CHECK(TakeSettingsSnapshot(&snapshot));
    PointImport(reinterpret_cast<void*>(RefusingQuery), reinterpret_cast<void*>(RealQuery));
    HKEY first = OpenUnder(L"Monitors\\0000");
    CHECK(RegDeleteValueW(first, L"Blocked") == ERROR_SUCCESS);
    RegCloseKey(first);

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
          ReadRaw(L"Monitors\\0000", L"Name") == String(L"{A}") &&
          ReadRaw(L"Monitors\\0000", L"Blocked").first == REG_NONE);
    CHECK(ReadRaw(L"Monitors\\0001\\Deeper", L"Mark") == Dword(7) && KeyExists(L"Monitors\\Empty"));
}
