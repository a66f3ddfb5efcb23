// CreateKeyPath and DeleteKeyTree: who closes which handle, trailing
// separators, and deleting nested trees.
#include "platform/registry_keys.h"
#include "registry_probe.h"

#include <string>

void KeyHelperTests()
{
    HKEY agent = CreateKeyPath(HKEY_LOCAL_MACHINE, L"Software\\Merovax\\ZorvanHAgent");
    CHECK(agent && KeyExists(L"") && CreateKeyPath(agent, L"") == agent && !HandleClosed(agent));
    HKEY levels = CreateKeyPath(agent, L"Two\\Levels\\");
    CHECK(levels && KeyExists(L"Two\\Levels"));
    RegCloseKey(levels);
    // A level that cannot be made, first or second: null, and the parent
    // does not stay open.
    std::wstring tooLong(300, L'x');
    for (const std::wstring& path : {tooLong, L"Fine\\" + tooLong}) {
        HKEY parent = OpenUnder(L"");
        CHECK(CreateKeyPath(parent, path.c_str()) == nullptr && HandleClosed(parent));
    }

    Put(L"Tree\\A\\B\\C", L"Deep", Dword(2));
    Put(L"Tree\\D", L"Side", Dword(3));
    Put(L"Keep", L"Stay", Dword(4));
    agent = OpenUnder(L"");
    CHECK(DeleteKeyTree(agent, L"") == ERROR_BADKEY && DeleteKeyTree(agent, nullptr) == ERROR_BADKEY);
    CHECK(DeleteKeyTree(agent, L"Tree") == ERROR_SUCCESS && !KeyExists(L"Tree") && KeyExists(L"Keep"));
    CHECK(DeleteKeyTree(agent, L"Tree") == ERROR_FILE_NOT_FOUND);
    RegCloseKey(agent);
}
