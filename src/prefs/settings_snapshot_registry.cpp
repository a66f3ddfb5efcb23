#include "prefs/settings_snapshot_registry.h"

#include <windows.h>

#include "core/service_watchers.h"
#include "platform/registry_keys.h"
#include "prefs/settings_snapshot.h"

static const wchar_t AgentKeyPath[] = L"Software\\Merovax\\ZorvanHAgent";

// A value whose data cannot be allocated ends the reading of its
// key, a value that cannot be read or a node that cannot be made is left
// out; only the final block can fail the whole snapshot.
static void ReadValues(HKEY key, std::vector<SnapshotEntry>* into)
{
    for (DWORD index = 0;; ++index) {
        wchar_t name[260];
        DWORD nameChars = 260;
        DWORD type = 0;
        DWORD dataBytes = 0;
        if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, nullptr, &dataBytes) != ERROR_SUCCESS)
            return;
        SnapshotEntry entry;
        entry.kind = type == REG_SZ ? SnapshotString : type == REG_DWORD ? SnapshotDword : SnapshotOther;
        if (dataBytes) {
            try {
                entry.data.resize(dataBytes);
            } catch (...) {
                return;
            }
            DWORD got = dataBytes;
            if (RegQueryValueExW(key, name, nullptr, nullptr, entry.data.data(), &got) != ERROR_SUCCESS)
                continue;
            entry.data.resize(got < dataBytes ? got : dataBytes);
        }
        try {
            entry.name.assign(name, nameChars);
            into->push_back(std::move(entry));
        } catch (...) {
        }
    }
}

static void ReadSubkeys(HKEY key, unsigned depth, std::vector<SnapshotEntry>* into)
{
    if (depth >= SnapshotMaxDepth)
        return;
    for (DWORD index = 0;; ++index) {
        wchar_t name[260];
        DWORD nameChars = 260;
        if (RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS)
            continue;
        try {
            SnapshotEntry entry;
            entry.name.assign(name, nameChars);
            entry.kind = SnapshotKey;
            ReadValues(child, &entry.children);
            ReadSubkeys(child, depth + 1, &entry.children);
            into->push_back(std::move(entry));
        } catch (...) {
            // A key node that cannot be made is left out with its subtree.
        }
        RegCloseKey(child);
    }
}

bool TakeSettingsSnapshot(std::vector<uint8_t>* snapshot)
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    FILETIME created = {0, 0};
    SystemTimeToFileTime(&now, &created);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AgentKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        key = nullptr;
    bool taken = true;
    try {
        std::vector<SnapshotEntry> top;
        if (key) {
            ReadValues(key, &top);
            ReadSubkeys(key, 1, &top);
        }
        EncodeSettingsSnapshot(top, uint64_t(created.dwHighDateTime) << 32 | created.dwLowDateTime, snapshot);
    } catch (...) {
        snapshot->clear();
        taken = false;
    }
    if (key)
        RegCloseKey(key);
    return taken;
}

// Later records lose to earlier ones of the same name, so write back to front.
static bool WriteEntries(HKEY key, const std::vector<SnapshotEntry>& list)
{
    for (size_t i = list.size(); i-- > 0;) {
        const SnapshotEntry& e = list[i];
        if (e.kind == SnapshotKey) {
            HKEY child = nullptr;
            if (RegCreateKeyExW(key, e.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                &child, nullptr) != ERROR_SUCCESS)
                return false;
            bool written = WriteEntries(child, e.children);
            RegCloseKey(child);
            if (!written)
                return false;
            continue;
        }
        DWORD type = e.kind == SnapshotString ? REG_SZ : e.kind == SnapshotDword ? REG_DWORD : REG_BINARY;
        // One value that will not take is not worth losing the rest.
        RegSetValueExW(key, e.name.c_str(), 0, type, e.data.empty() ? nullptr : e.data.data(), DWORD(e.data.size()));
    }
    return true;
}

bool RestoreSettingsSnapshot(const uint8_t* bytes, size_t size)
{
    std::vector<SnapshotEntry> top;
    try {
        if (DecodeSettingsSnapshot(bytes, size, &top) != SnapshotDecoded)
            return false;
    } catch (...) {
        return false;
    }
    if (top.empty())
        return true;
    HKEY key = CreateKeyPath(HKEY_LOCAL_MACHINE, AgentKeyPath);
    if (!key)
        return false;
    bool written = WriteEntries(key, top);
    if (written && SettingsReloadEvent)
        PulseEvent(SettingsReloadEvent);
    RegCloseKey(key);
    return written;
}
