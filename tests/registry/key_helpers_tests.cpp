// CreateKeyPath and DeleteKeyTree: who closes which handle, trailing
// separators, and deleting nested trees.
#include "platform/registry_keys.h"
#include "registry_probe.h"

static void CreatePathTests()
{
    HKEY agent = CreateKeyPath(HKEY_LOCAL_MACHINE, AgentPath);
    CHECK(agent && KeyExists(L""));
    CHECK(CreateKeyPath(agent, L"") == agent && !HandleClosed(agent));
    RegCloseKey(agent);

    HKEY second = CreateKeyPath(OpenUnder(L""), L"Two\\Levels\\");
    DWORD mark = 7;
    RegSetValueExW(second, L"Mark", 0, REG_DWORD, reinterpret_cast<BYTE*>(&mark), 4);
    CHECK(ReadRaw(L"Two\\Levels", L"Mark") == Dword(7));
    RegCloseKey(second);

    // A level that cannot be made, first or second: null, and the parent
    // does not stay open.
    std::wstring tooLong(300, L'x');
    for (const std::wstring& path : {tooLong, L"Fine\\" + tooLong}) {
        HKEY parent = OpenUnder(L"");
        CHECK(CreateKeyPath(parent, path.c_str()) == nullptr && HandleClosed(parent));
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

    RegCloseKey(agent);
}

void KeyHelperTests()
{
    CreatePathTests();
    DeleteTreeTests();
}
