#include "platform/help_control.h"

#include <cwchar>

// The class the control registers; its server entry names the file.
static const wchar_t HelpControlServerKey[] = L"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// The registered file as a full path. A bare name is taken from the system
// folder: given to the loader as it is, it would be looked for in the
// agent's folder first, where anyone who can write there could plant one.
static bool RegisteredControlPath(wchar_t* path, UINT capacity)
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, HelpControlServerKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[MAX_PATH + 1];
    DWORD type = 0, size = MAX_PATH * sizeof(wchar_t);
    LONG read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    value[size / sizeof(wchar_t)] = 0;
    wchar_t expanded[MAX_PATH + 1];
    if (type == REG_EXPAND_SZ) {
        DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH + 1);
        if (length == 0 || length > MAX_PATH + 1)
            return false;
    } else {
        lstrcpynW(expanded, value, MAX_PATH + 1);
    }
    if (expanded[0] == 0)
        return false;
    if (wcschr(expanded, L'\\')) {
        lstrcpynW(path, expanded, int(capacity));
        return UINT(lstrlenW(expanded)) < capacity;
    }
    UINT folder = GetSystemDirectoryW(path, capacity);
    if (folder == 0 || folder + 1 + UINT(lstrlenW(expanded)) >= capacity)
        return false;
    path[folder] = L'\\';
    lstrcpynW(path + folder + 1, expanded, int(capacity - folder - 1));
    return true;
}

HtmlHelpFunction FindHtmlHelp()
{
    static HtmlHelpFunction htmlHelp;
    static bool tried;
    if (tried)
        return htmlHelp;
    tried = true;
    wchar_t path[MAX_PATH * 2];
    if (!RegisteredControlPath(path, MAX_PATH * 2))
        return nullptr;
    HMODULE control = LoadLibraryW(path);
    if (control)
        htmlHelp = reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(control, "HtmlHelpW")));
    return htmlHelp;
}
