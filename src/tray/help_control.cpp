#include "tray/help_control.h"

#include <new>

#include "tray/help_control_path.h"

// The class the control registers; its server entry names the file. Read
// from the machine's classes: the merged view would let a per-user entry
// choose the library the agent loads.
static const wchar_t HelpControlServerKey[] =
    L"Software\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// The registered file name, expanded; empty when there is none.
static Text16 RegisteredControlFile()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, HelpControlServerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return Text16();
    wchar_t value[MAX_PATH + 1];
    DWORD type = 0, size = MAX_PATH * sizeof(wchar_t);
    LONG read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return Text16();
    value[size / sizeof(wchar_t)] = 0;
    if (type == REG_SZ)
        return Text16(value);
    wchar_t expanded[MAX_PATH + 1];
    DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH + 1);
    return length == 0 || length > MAX_PATH + 1 ? Text16() : Text16(expanded);
}

HtmlHelpFunction FindHtmlHelp()
{
    static HtmlHelpFunction htmlHelp;
    static bool tried;
    if (tried)
        return htmlHelp;
    wchar_t system[MAX_PATH + 1];
    UINT folder = GetSystemDirectoryW(system, MAX_PATH + 1);
    Text16 path;
    // Out of memory the help just does not open, and the next try looks again.
    try {
        path = HelpControlPath(RegisteredControlFile(), folder != 0 && folder <= MAX_PATH ? system : L"");
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    tried = true;
    if (path.empty())
        return nullptr;
    HMODULE control = LoadLibraryW(path.c_str());
    if (control)
        htmlHelp = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(control, "HtmlHelpW")));
    return htmlHelp;
}
