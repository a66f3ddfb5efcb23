// Runs the registry groups in order, each on a clean agent key, then leaves
// two monitors for `reg query`; the exit code is the number of failed checks.
// RegDeleteTreeW needs the Vista headers; the agent itself stays at XP.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600

#include "registry_probe.h"

#include <cstdio>
#include <cwchar>
#include <string>

int CheckCount, FailCount;

bool Check(bool ok, const char* file, int line, const char* what)
{
    ++CheckCount;
    if (!ok)
        ++FailCount, printf("FAIL %s:%d: %s\n", file, line, what);
    return ok;
}

static const wchar_t AgentPath[] = L"Software\\Merovax\\ZorvanHAgent";

Raw Binary(std::vector<BYTE> bytes)
{
    return {REG_BINARY, bytes};
}

Raw Dword(uint32_t number)
{
    return {REG_DWORD, Bytes(&number, 1)};
}

Raw String(const wchar_t* text)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text);
    return {REG_SZ, std::vector<BYTE>(bytes, bytes + 2 * wcslen(text) + 2)};
}

std::vector<BYTE> Bytes(const uint32_t* words, size_t count)
{
    const BYTE* bytes = reinterpret_cast<const BYTE*>(words);
    return std::vector<BYTE>(bytes, bytes + 4 * count);
}

static std::wstring FullPath(const wchar_t* sub)
{
    return *sub ? std::wstring(AgentPath) + L"\\" + sub : AgentPath;
}

bool CleanAgentKey()
{
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, AgentPath);
    return !KeyExists(L"");
}

HKEY OpenUnder(const wchar_t* sub)
{
    HKEY key = nullptr;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, FullPath(sub).c_str(), 0, KEY_ALL_ACCESS, &key) ? nullptr : key;
}

bool KeyExists(const wchar_t* sub)
{
    HKEY key = OpenUnder(sub);
    return key && !RegCloseKey(key);
}

DWORD Count(const wchar_t* sub, bool values)
{
    DWORD subkeys = 0, count = 0;
    if (HKEY key = OpenUnder(sub)) {
        RegQueryInfoKeyW(key, 0, 0, 0, &subkeys, 0, 0, &count, 0, 0, 0, 0);
        RegCloseKey(key);
    }
    return values ? count : subkeys;
}

Raw ReadRaw(const wchar_t* sub, const wchar_t* name)
{
    Raw value;
    BYTE data[4096];
    DWORD size = sizeof data;
    if (HKEY key = OpenUnder(sub)) {
        if (!RegQueryValueExW(key, name, nullptr, &value.first, data, &size))
            value.second.assign(data, data + size);
        RegCloseKey(key);
    }
    return value;
}

void Put(const wchar_t* sub, const wchar_t* name, const Raw& value)
{
    HKEY key = nullptr;
    CHECK(!RegCreateKeyExW(HKEY_LOCAL_MACHINE, FullPath(sub).c_str(), 0, 0, 0, KEY_ALL_ACCESS, 0, &key, 0) &&
          !RegSetValueExW(key, name, 0, value.first, value.second.data(), DWORD(value.second.size())));
    RegCloseKey(key);
}

bool HandleClosed(HKEY key)
{
    return RegQueryInfoKeyW(key, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == ERROR_INVALID_HANDLE;
}

int main()
{
    for (void (*group)() :
         {KeyHelperTests, AgentOptionTests, MonitorKeyTests, MonitorValueTests, SnapshotTests, LeaveMonitors})
        if (CHECK(CleanAgentKey()))
            group();
    printf("registry tests: %d checks, %d failed\n", CheckCount, FailCount);
    return FailCount;
}
