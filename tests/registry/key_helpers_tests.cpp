// CreateKeyPath and DeleteKeyTree: who closes which handle, trailing
// separators, and deleting trees that are nested or locked.
#include "platform/registry_keys.h"
#include "registry_probe.h"

static void CreatePathTests()
{
    HKEY agent = CreateKeyPath(HKEY_LOCAL_MACHINE, AgentPath);
    CHECK(agent && KeyExists(L""));
    CHECK(CreateKeyPath(agent, nullptr) == nullptr && !HandleClosed(agent));
    CHECK(CreateKeyPath(nullptr, L"General") == nullptr);
    CHECK(CreateKeyPath(agent, L"") == agent && !HandleClosed(agent));
    RegCloseKey(agent);

    // Chained as the settings code chains it, and two levels at once: the
    // last level may reuse the parent's freed handle value, so only the
    // count tells that the parent and the middle level were closed.
    DWORD before = HandleCount();
    HKEY monitors = CreateKeyPath(CreateKeyPath(HKEY_LOCAL_MACHINE, AgentPath), L"Monitors");
    CHECK(monitors && KeyExists(L"Monitors") && (!before || HandleCount() == before + 1));
    RegCloseKey(monitors);
    HKEY parent = OpenUnder(L"");
    before = HandleCount();
    HKEY second = CreateKeyPath(parent, L"Two\\Levels\\");
    CHECK(second && (!before || HandleCount() == before));
    DWORD mark = 7;
    RegSetValueExW(second, L"Mark", 0, REG_DWORD, reinterpret_cast<BYTE*>(&mark), 4);
    CHECK(ReadRaw(L"Two\\Levels", L"Mark") == Dword(7));
    RegCloseKey(second);

    // A level that cannot be made, first or second: null, and neither the
    // parent nor the level before stays open.
    std::wstring tooLong(300, L'x');
    for (const std::wstring& path : {tooLong, L"Fine\\" + tooLong}) {
        parent = OpenUnder(L"");
        before = HandleCount();
        CHECK(CreateKeyPath(parent, path.c_str()) == nullptr && HandleClosed(parent));
        CHECK(!before || HandleCount() == before - 1);
    }
}

static void DeleteTreeTests()
{
    Put(L"Tree", L"Top", Dword(1));
    Put(L"Tree\\A", L"Middle", String(L"m"));
    Put(L"Tree\\A\\B\\C", L"Deep", Dword(2));
    Put(L"Tree\\D", L"Side", Dword(3));
    Put(L"Keep", L"Stay", Dword(4));
    HKEY agent = OpenUnder(L"");
    CHECK(DeleteKeyTree(agent, L"") == ERROR_BADKEY && DeleteKeyTree(agent, nullptr) == ERROR_BADKEY);
    CHECK(KeyExists(L"Tree\\A\\B\\C") && KeyExists(L"Keep"));
    CHECK(DeleteKeyTree(agent, L"Tree") == ERROR_SUCCESS && !KeyExists(L"Tree"));
    CHECK(ReadRaw(L"Keep", L"Stay") == Dword(4) && DeleteKeyTree(agent, L"Tree") == ERROR_FILE_NOT_FOUND);

    // Locked at two levels: only reading and changing the DACL are granted.
    Put(L"Locked", L"Top", Dword(5));
    Put(L"Locked\\Inner", L"Deep", Dword(6));
    CHECK(LockKey(L"Locked\\Inner", KEY_READ | WRITE_DAC) && LockKey(L"Locked", KEY_READ | WRITE_DAC));
    CHECK(DeleteKeyTree(agent, L"Locked") == ERROR_SUCCESS && !KeyExists(L"Locked"));

    // Granting nothing at all: the DACL is reset only through an open that
    // also reads, so such a key is refused and stays as it was.
    Put(L"Sealed", L"Top", Dword(7));
    CHECK(LockKey(L"Sealed", 0));
    CHECK(DeleteKeyTree(agent, L"Sealed") == ERROR_ACCESS_DENIED && KeyExists(L"Sealed"));
    for (const wchar_t* left : {L"Locked\\Inner", L"Locked", L"Sealed"})
        UnlockKey(left);
    RegCloseKey(agent);
}

void KeyHelperTests()
{
    CreatePathTests();
    DeleteTreeTests();
}
