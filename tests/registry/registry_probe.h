// Checks and direct registry access for the registry tests: everything here
// goes straight to the Win32 API, so the code under test is judged by
// something other than itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

extern int CheckCount, FailCount;
bool Check(bool ok, const char* file, int line, const char* what);
#define CHECK(condition) Check((condition), __FILE_NAME__, __LINE__, #condition)

// A value's type and bytes; a missing value is REG_NONE without bytes.
typedef std::pair<DWORD, std::vector<BYTE>> Raw;
Raw Binary(std::vector<BYTE> bytes);
Raw Dword(uint32_t number);
Raw String(const wchar_t* text);  // with its terminating NUL, as the agent writes it
std::vector<BYTE> Bytes(const uint32_t* words, size_t count);

// Paths are below the agent key; L"" is the agent key itself.
bool CleanAgentKey();
HKEY OpenUnder(const wchar_t* sub);
bool KeyExists(const wchar_t* sub);
DWORD Count(const wchar_t* sub, bool values);  // subkeys or values
Raw ReadRaw(const wchar_t* sub, const wchar_t* name);
void Put(const wchar_t* sub, const wchar_t* name, const Raw& value);  // creates the key
bool HandleClosed(HKEY key);

// The groups; each starts on a clean agent key.
void KeyHelperTests();
void AgentOptionTests();
void MonitorKeyTests();
void MonitorValueTests();
void SnapshotTests();
void LeaveMonitors();  // for the e2e case, left in place
