#include "prefs/settings_snapshot.h"

#include <algorithm>
#include <new>

#include "platform/registry_keys.h"
#include "prefs/settings_snapshot_format.h"

static const wchar_t AgentKeyPath[] = L"Software\\Merovax\\ZorvanHAgent";
static const DWORD NameBufferChars = 260;

static uint8_t KindOfType(DWORD type)
{
    return type == REG_SZ ? SnapshotString : type == REG_DWORD ? SnapshotDword : SnapshotOtherValue;
}

// The values of `key`, the last enumerated first.
static std::vector<SnapshotNode> ReadValues(HKEY key)
{
    std::vector<SnapshotNode> values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[NameBufferChars];
        DWORD nameChars = NameBufferChars, type = 0, dataBytes = 0;
        if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, nullptr, &dataBytes) != ERROR_SUCCESS)
            break;
        if (!FitsSnapshotRecord(nameChars, dataBytes) || values.size() == SnapshotMaxData)
            continue;
        SnapshotNode node;
        node.name.assign(name, nameChars);
        node.kind = KindOfType(type);
        node.data.resize(dataBytes);
        if (dataBytes != 0) {
            DWORD read = dataBytes;
            if (RegQueryValueExW(key, name, nullptr, nullptr, node.data.data(), &read) != ERROR_SUCCESS)
                continue;
            node.data.resize(std::min(read, dataBytes));
        }
        values.push_back(std::move(node));
    }
    std::reverse(values.begin(), values.end());
    return values;
}

static std::vector<SnapshotNode> ReadSubkeys(HKEY key, int depth)
{
    std::vector<SnapshotNode> subkeys;
    for (DWORD index = 0;; ++index) {
        wchar_t name[NameBufferChars];
        DWORD nameChars = NameBufferChars;
        if (RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        // What the restore would refuse is not taken either.
        if (!FitsSnapshotRecord(nameChars, 0) || depth >= SnapshotMaxDepth || subkeys.size() == SnapshotMaxData)
            continue;
        HKEY subkey;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS)
            continue;
        SnapshotNode node;
        node.name.assign(name, nameChars);
        node.kind = SnapshotKey;
        // Inside a key the subkeys come before the values.
        node.children = ReadSubkeys(subkey, depth + 1);
        std::vector<SnapshotNode> values = ReadValues(subkey);
        node.children.insert(node.children.end(), std::make_move_iterator(values.begin()),
                             std::make_move_iterator(values.end()));
        if (node.children.size() > SnapshotMaxData)
            node.children.resize(SnapshotMaxData);
        RegCloseKey(subkey);
        subkeys.push_back(std::move(node));
    }
    std::reverse(subkeys.begin(), subkeys.end());
    return subkeys;
}

bool TakeSettingsSnapshot(std::vector<uint8_t>* snapshot)
{
    SYSTEMTIME now;
    FILETIME created = {0, 0};
    GetSystemTime(&now);
    SystemTimeToFileTime(&now, &created);
    try {
        std::vector<SnapshotNode> top;
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AgentKeyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            // At the top the values come first, then the subkeys.
            top = ReadValues(key);
            std::vector<SnapshotNode> subkeys = ReadSubkeys(key, 1);
            RegCloseKey(key);
            top.insert(top.end(), std::make_move_iterator(subkeys.begin()), std::make_move_iterator(subkeys.end()));
            if (top.size() > SnapshotMaxData)
                top.resize(SnapshotMaxData);
        }
        *snapshot = EncodeSettingsSnapshot(top, uint64_t(created.dwHighDateTime) << 32 | created.dwLowDateTime);
        return true;
    } catch (const std::bad_alloc&) {
        snapshot->clear();
        return false;
    }
}

static DWORD ValueType(uint8_t kind)
{
    return kind == SnapshotString ? REG_SZ : kind == SnapshotDword ? REG_DWORD : REG_BINARY;
}

// False when a key cannot be created; single value writes are not checked.
static bool WriteNodes(HKEY key, const std::vector<SnapshotNode>& nodes)
{
    for (const SnapshotNode& node : nodes) {
        if (node.kind != SnapshotKey) {
            RegSetValueExW(key, node.name.c_str(), 0, ValueType(node.kind), node.data.data(), DWORD(node.data.size()));
            continue;
        }
        HKEY child;
        if (RegCreateKeyExW(key, node.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                            nullptr, &child, nullptr) != ERROR_SUCCESS)
            return false;
        const bool written = WriteNodes(child, node.children);
        RegCloseKey(child);
        if (!written)
            return false;
    }
    return true;
}

bool RestoreSettingsSnapshot(const uint8_t* bytes, uint32_t size, HANDLE reloadEvent)
{
    std::vector<SnapshotNode> top;
    try {
        if (DecodeSettingsSnapshot(bytes, size, &top) != SnapshotGood)
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (top.empty())
        return true;
    HKEY key = CreateKeyPath(HKEY_LOCAL_MACHINE, AgentKeyPath);
    if (!key)
        return false;
    const bool written = WriteNodes(key, top);
    if (written && reloadEvent)
        PulseEvent(reloadEvent);
    RegCloseKey(key);
    return written;
}
