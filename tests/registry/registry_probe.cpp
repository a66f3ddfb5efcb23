// RegDeleteTreeW needs the Vista headers; the agent itself stays at XP.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600

#include "registry_probe.h"

#include <cstdio>
#include <cstring>

int CheckCount, FailCount;

bool Check(bool ok, const char* file, int line, const char* what)
{
    ++CheckCount;
    if (!ok) {
        ++FailCount;
        printf("FAIL %s:%d %s\n", file, line, what);
        fflush(stdout);
    }
    return ok;
}

const wchar_t AgentPath[] = L"Software\\Merovax\\ZorvanHAgent";

static RawValue Raw(DWORD type, const void* data, size_t size)
{
    RawValue value;
    value.present = true;
    value.type = type;
    value.data.assign(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
    return value;
}

RawValue Binary(const std::vector<BYTE>& bytes)
{
    return Raw(REG_BINARY, bytes.data(), bytes.size());
}
RawValue Dword(DWORD number)
{
    return Raw(REG_DWORD, &number, 4);
}
RawValue String(const wchar_t* text)
{
    return Raw(REG_SZ, text, (wcslen(text) + 1) * sizeof(wchar_t));
}

std::vector<BYTE> LittleEndian(const uint32_t* words, size_t count)
{
    std::vector<BYTE> bytes;
    for (size_t i = 0; i < count; ++i)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(BYTE(words[i] >> shift));
    return bytes;
}

static std::wstring FullPath(const wchar_t* sub)
{
    return *sub ? std::wstring(AgentPath) + L"\\" + sub : std::wstring(AgentPath);
}

bool CleanAgentKey()
{
    LONG result = RegDeleteTreeW(HKEY_LOCAL_MACHINE, AgentPath);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        printf("cannot clean the agent key: error %ld\n", result);
    return !KeyExists(L"");
}

HKEY OpenUnder(const wchar_t* sub, REGSAM access)
{
    HKEY key = nullptr;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, FullPath(sub).c_str(), 0, access, &key) == ERROR_SUCCESS ? key : nullptr;
}

bool KeyExists(const wchar_t* sub)
{
    HKEY key = OpenUnder(sub, KEY_QUERY_VALUE);
    if (key)
        RegCloseKey(key);
    return key != nullptr;
}

DWORD SubkeyCount(const wchar_t* sub)
{
    DWORD count = 0;
    if (HKEY key = OpenUnder(sub, KEY_READ)) {
        RegQueryInfoKeyW(key, 0, 0, 0, &count, 0, 0, 0, 0, 0, 0, 0);
        RegCloseKey(key);
    }
    return count;
}

RawValue ReadRaw(const wchar_t* sub, const wchar_t* name)
{
    for (const auto& value : AllValues(sub))
        if (_wcsicmp(value.first.c_str(), name) == 0)
            return value.second;
    return RawValue();
}

std::vector<std::pair<std::wstring, RawValue>> AllValues(const wchar_t* sub)
{
    std::vector<std::pair<std::wstring, RawValue>> values;
    HKEY key = OpenUnder(sub, KEY_READ);
    for (DWORD index = 0; key; ++index) {
        wchar_t name[256];
        BYTE data[4096];
        DWORD length = 256, size = sizeof data, type = 0;
        if (RegEnumValueW(key, index, name, &length, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        values.emplace_back(name, Raw(type, data, size));
    }
    if (key)
        RegCloseKey(key);
    return values;
}

void Put(const wchar_t* sub, const wchar_t* name, const RawValue& value)
{
    HKEY key = nullptr;
    bool ok = RegCreateKeyExW(HKEY_LOCAL_MACHINE, FullPath(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr) == ERROR_SUCCESS &&
        RegSetValueExW(key, name, 0, value.type, value.data.data(), DWORD(value.data.size())) == ERROR_SUCCESS;
    Check(ok, __FILE__, __LINE__, "preparing a value");
    if (key)
        RegCloseKey(key);
}

bool HandleClosed(HKEY key)
{
    return RegQueryInfoKeyW(key, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) == ERROR_INVALID_HANDLE;
}
