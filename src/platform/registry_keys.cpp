#include "platform/registry_keys.h"

static void CloseKeyHandle(HKEY key)
{
    // Closing a predefined root is harmless but pointless.
    if (key && key != HKEY_LOCAL_MACHINE && key != HKEY_CURRENT_USER && key != HKEY_CLASSES_ROOT && key != HKEY_USERS)
        RegCloseKey(key);
}

HKEY CreateKeyPath(HKEY parent, const wchar_t* path)
{
    if (!path)
        return nullptr;
    if (!parent || !*path)
        return parent;
    wchar_t level[256];
    const wchar_t* rest = path;
    for (;;) {
        size_t n = 0;
        while (rest[n] && rest[n] != L'\\')
            ++n;
        HKEY child = nullptr;
        LONG result = ERROR_INVALID_PARAMETER;
        if (n < 256) {
            for (size_t i = 0; i < n; ++i)
                level[i] = rest[i];
            level[n] = 0;
            result = RegCreateKeyExW(parent, level, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                     &child, nullptr);
        }
        CloseKeyHandle(parent);
        if (result != ERROR_SUCCESS)
            return nullptr;
        parent = child;
        if (!rest[n] || !rest[n + 1])
            return parent;
        rest += n + 1;
    }
}

LONG DeleteKeyTree(HKEY parent, const wchar_t* name)
{
    if (!name || !*name)
        return ERROR_BADKEY;
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, name, 0, KEY_READ | WRITE_DAC, &key) == ERROR_SUCCESS) {
        SECURITY_DESCRIPTOR open;
        // No DACL at all grants every access to everyone.
        if (InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION))
            RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &open);
        RegCloseKey(key);
    }
    LONG result = RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS)
        return result;
    for (;;) {
        wchar_t child[260];
        DWORD length = 260;
        result = RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            result = DeleteKeyTree(key, child);
        if (result != ERROR_SUCCESS) {
            RegCloseKey(key);
            return result;
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyW(parent, name);
}
