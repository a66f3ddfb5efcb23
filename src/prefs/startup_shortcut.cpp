#include "prefs/startup_shortcut.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "core/agent_directory.h"
#include "core/startup_checks.h"

static const wchar_t ShortcutName[] = L"ZorvanHAgent.lnk";

bool GetStartupFolder(wchar_t* buffer)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Merovax\\ZorvanHMonitor", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        // One character is kept back for a NUL the stored string may lack.
        DWORD size = (MAX_PATH - 1) * sizeof(wchar_t);
        LONG read =
            RegQueryValueExW(key, L"ZorvanHAgentStartupFolder", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        // The same rule as the installation folder: a string of at least 7
        // bytes, used as it stands.
        if (AcceptAgentDirectoryValue(read == ERROR_SUCCESS, type, size)) {
            buffer[size / sizeof(wchar_t)] = 0;
            return true;
        }
    }
    if (!SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_STARTUP, FALSE)) {
        buffer[0] = 0;
        return false;
    }
    size_t length = wcslen(buffer);
    if (length + 2 > MAX_PATH)
        return false;
    buffer[length] = L'\\';
    buffer[length + 1] = 0;
    return true;
}

static bool GetShortcutPath(wchar_t* path, size_t capacity)
{
    wchar_t folder[MAX_PATH];
    if (!GetStartupFolder(folder))
        return false;
    return swprintf(path, capacity, L"%ls%ls", folder, ShortcutName) > 0;
}

bool StartupShortcutExists()
{
    wchar_t path[MAX_PATH + 32];
    return GetShortcutPath(path, MAX_PATH + 32) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The installed program when it is there, else the one that runs.
static void GetShortcutTarget(wchar_t* target, DWORD capacity)
{
    wchar_t folder[MAX_PATH];
    if (GetAgentDirectory(folder, MAX_PATH) && swprintf(target, capacity, L"%lsZorvanHAgent.exe", folder) > 0 &&
        GetFileAttributesW(target) != INVALID_FILE_ATTRIBUTES)
        return;
    DWORD length = GetModuleFileNameW(nullptr, target, capacity);
    target[length < capacity ? length : capacity - 1] = 0;
}

bool CreateStartupShortcut()
{
    wchar_t path[MAX_PATH + 32];
    if (!GetShortcutPath(path, MAX_PATH + 32))
        return false;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    wchar_t target[MAX_PATH + 32];
    GetShortcutTarget(target, MAX_PATH + 32);
    link->SetPath(target);
    link->SetDescription(L"ZorvanHAgent");
    IPersistFile* file = nullptr;
    bool obtained = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (obtained) {
        file->Save(path, TRUE);
        file->Release();
    }
    link->Release();
    return obtained;
}

void DeleteStartupShortcut()
{
    wchar_t path[MAX_PATH + 32];
    if (GetShortcutPath(path, MAX_PATH + 32))
        DeleteFileW(path);
}
