#include "core/agent_directory.h"

#include "core/startup_checks.h"

bool GetAgentDirectory(wchar_t* buffer, DWORD capacity)
{
    if (capacity < 2)
        return false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Merovax\\ZorvanHMonitor", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD size = capacity;
        LONG read = RegQueryValueExW(key, L"ZorvanHAgentDir", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (AcceptAgentDirectoryValue(read == ERROR_SUCCESS, type, size)) {
            // A stored string need not carry its NUL; the read filled at most
            // half of the buffer, so there is room for one.
            buffer[size / sizeof(wchar_t)] = 0;
            return true;
        }
    }
    DWORD length = GetModuleFileNameW(nullptr, buffer, capacity);
    buffer[length < capacity ? length : capacity - 1] = 0;
    KeepFolderOfPath(buffer);
    return true;
}
