// Checks and direct registry access for the registry tests: everything here
// goes straight to the Win32 API, so the code under test is judged by
// something other than itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

extern int CheckCount, FailCount;
bool Check(bool ok, const char* file, int line, const char* what);
#define CHECK(condition) Check((condition), __FILE__, __LINE__, #condition)

extern const wchar_t AgentPath[];  // below HKEY_LOCAL_MACHINE

struct RawValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue& o) const
    {
        return present == o.present && type == o.type && data == o.data;
    }
};
RawValue Binary(const std::vector<BYTE>& bytes);
RawValue Dword(DWORD number);
RawValue String(const wchar_t* text);  // with its terminating NUL, as the agent writes it
std::vector<BYTE> LittleEndian(const uint32_t* words, size_t count);

// Paths are relative to the agent key; L"" is the agent key itself.
bool CleanAgentKey();
HKEY OpenUnder(const wchar_t* sub, REGSAM access = KEY_ALL_ACCESS);
bool KeyExists(const wchar_t* sub);
DWORD SubkeyCount(const wchar_t* sub);
RawValue ReadRaw(const wchar_t* sub, const wchar_t* name);
std::vector<std::pair<std::wstring, RawValue>> AllValues(const wchar_t* sub);
void Put(const wchar_t* sub, const wchar_t* name, const RawValue& value);  // creates the key

bool HandleClosed(HKEY key);
