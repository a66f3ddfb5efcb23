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

static bool PointImport(QueryValue from, QueryValue to)
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
    // A tree as the agent keeps it, with a type the format has no kind for.
    const wchar_t M[] = L"Monitors\\0000";
    const std::vector<BYTE> path = {'%', 0, 'X', 0, '%', 0, 0, 0};
    // Left out once it cannot be read, before the values that come after it.
    Put(M, L"Blocked", Dword(5));
    Put(M, L"TransparentLevel", Dword(30));
    Put(M, L"Path", {REG_EXPAND_SZ, path});
    Put(L"Monitors\\0001\\Deeper", L"Mark", Dword(7));
    RegCloseKey(CreateKeyPath(OpenUnder(L""), L"Monitors\\Empty"));
    RealQuery = reinterpret_cast<QueryValue>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"advapi32.dll"), "RegQueryValueExW")));
    std::vector<uint8_t> snapshot;
    CHECK(PointImport(RealQuery, RefusingQuery) && TakeSettingsSnapshot(&snapshot));
    PointImport(RefusingQuery, RealQuery);
    HKEY first = OpenUnder(M);
    RegDeleteValueW(first, L"Blocked");
    RegCloseKey(first);

    // Changed and added after the backup; the restore overwrites the first
    // and keeps the second.
    Put(M, L"TransparentLevel", Dword(90));
    Put(M, L"Added", Dword(1));
    HKEY monitors = OpenUnder(L"Monitors");
    DeleteKeyTree(monitors, L"0001");
    RegCloseKey(monitors);

    CHECK(RestoreSettingsSnapshot(snapshot.data(), snapshot.size()));
    CHECK(ReadRaw(M, L"TransparentLevel") == Dword(30) && ReadRaw(M, L"Path") == Binary(path) &&
          ReadRaw(M, L"Added") == Dword(1) && ReadRaw(M, L"Blocked").first == REG_NONE);
    CHECK(ReadRaw(L"Monitors\\0001\\Deeper", L"Mark") == Dword(7) && KeyExists(L"Monitors\\Empty"));
}
