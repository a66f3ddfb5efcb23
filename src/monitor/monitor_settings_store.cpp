#include "monitor/monitor_settings_store.h"

#include <cwchar>
#include <new>

#include "platform/registry_keys.h"

static const wchar_t AgentKeyPath[] = L"Software\\Merovax\\ZorvanHAgent";

static HKEY OpenMonitorsKey(bool create, REGSAM access)
{
    if (create)
        return CreateKeyPath(CreateKeyPath(HKEY_LOCAL_MACHINE, AgentKeyPath), L"Monitors");
    HKEY agent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AgentKeyPath, 0, access, &agent) != ERROR_SUCCESS)
        return nullptr;
    HKEY monitors = nullptr;
    if (RegOpenKeyExW(agent, L"Monitors", 0, access, &monitors) != ERROR_SUCCESS)
        monitors = nullptr;
    RegCloseKey(agent);
    return monitors;
}

static bool KeyNamesInterface(HKEY key, const Text16& interfaceId)
{
    wchar_t name[1024];
    DWORD type = 0;
    DWORD size = sizeof name - sizeof(wchar_t);
    if (RegQueryValueExW(key, L"Name", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    name[size / sizeof(wchar_t)] = 0;
    // Identifiers are compared as the shell compares them: ignoring case.
    return name[0] != 0 && _wcsicmp(name, interfaceId.c_str()) == 0;
}

struct SubkeySearch {
    HKEY monitors;
    const Text16* interfaceId;
    HKEY found;
    wchar_t name[261];
};

static SubkeyVisit VisitMonitorSubkey(uint32_t index, void* context)
{
    auto* search = static_cast<SubkeySearch*>(context);
    DWORD length = 261;
    if (RegEnumKeyExW(search->monitors, index, search->name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return SubkeyWalkEnds;
    HKEY key = nullptr;
    if (RegOpenKeyExW(search->monitors, search->name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return SubkeyDiffers;
    if (!KeyNamesInterface(key, *search->interfaceId)) {
        RegCloseKey(key);
        return SubkeyDiffers;
    }
    search->found = key;
    return SubkeyMatches;
}

static HKEY FindExistingSubkey(HKEY monitors, const Text16& interfaceId, Text16* subkeyName)
{
    SubkeySearch search = {monitors, &interfaceId, nullptr, {}};
    if (!FindSubkeyByVisits(VisitMonitorSubkey, &search))
        return nullptr;
    if (subkeyName) {
        // A name that cannot be copied out counts as no key found.
        try {
            *subkeyName = search.name;
        } catch (const std::bad_alloc&) {
            RegCloseKey(search.found);
            return nullptr;
        }
    }
    return search.found;
}

static HKEY CreateNumberedSubkey(HKEY monitors, const Text16& interfaceId, REGSAM access, Text16* subkeyName)
{
    for (int number = 0;; ++number) {
        wchar_t name[5];
        if (!MonitorSubkeyName(number, name))
            return nullptr;
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExW(monitors, name, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, &disposition) !=
            ERROR_SUCCESS)
            continue;
        if (disposition != REG_CREATED_NEW_KEY) {
            RegCloseKey(key);
            continue;
        }
        RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(interfaceId.c_str()),
                       DWORD((interfaceId.size() + 1) * sizeof(wchar_t)));
        if (subkeyName) {
            try {
                *subkeyName = name;
            } catch (const std::bad_alloc&) {
                RegCloseKey(key);
                return nullptr;
            }
        }
        return key;
    }
}

HKEY FindMonitorKey(const MonitorSettings& settings, bool create, bool write, Text16* subkeyName)
{
    REGSAM access = (create || write) ? (KEY_READ | KEY_WRITE) : KEY_READ;
    HKEY monitors = OpenMonitorsKey(create, access);
    if (!monitors)
        return nullptr;
    HKEY key = FindExistingSubkey(monitors, settings.interfaceId, subkeyName);
    if (!key && create)
        key = CreateNumberedSubkey(monitors, settings.interfaceId, access, subkeyName);
    RegCloseKey(monitors);
    return key;
}

// A value is read over its field by size, whatever its
// type: one of at most the field's size is copied over the field's first
// bytes; a longer one (which the query cannot take) or a missing one leaves
// the field as it was.
static bool ReadOver(HKEY key, const wchar_t* name, void* field, DWORD fieldSize)
{
    BYTE buffer[ColorsValueSize];
    DWORD size = fieldSize;
    if (fieldSize > sizeof buffer || RegQueryValueExW(key, name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS ||
        size > fieldSize)
        return false;
    memcpy(field, buffer, size);
    return true;
}

static void ReadStoredValues(HKEY key, MonitorSettings* settings)
{
    for (int i = 0; i < MonitorFlagCount; ++i) {
        // A flag that is missing or unreadable is off, not its default.
        BYTE flag = 0;
        ReadOver(key, MonitorFlagNames[i], &flag, 1);
        settings->flags[i] = flag != 0;
    }
    // The numbers are taken as stored, without range checks, and
    // written back so; the window clamps the level where it applies it
    // (AppliedTransparentLevel) and the Monitors page limits what it shows.
    uint8_t number[4];
    for (uint32_t* field : {&settings->transparentLevel, &settings->refreshRate}) {
        for (int i = 0; i < 4; ++i)
            number[i] = uint8_t(*field >> (8 * i));
        if (ReadOver(key, field == &settings->transparentLevel ? L"TransparentLevel" : L"RefreshRate", number, 4))
            *field =
                uint32_t(number[0]) | uint32_t(number[1]) << 8 | uint32_t(number[2]) << 16 | uint32_t(number[3]) << 24;
    }
    uint8_t colors[ColorsValueSize];
    PackColors(*settings, colors);
    if (ReadOver(key, L"Colors", colors, ColorsValueSize))
        UnpackColors(colors, settings);
    uint8_t position[PositionValueSize];
    PackPosition(*settings, position);
    if (ReadOver(key, L"SizePositionWindow", position, PositionValueSize))
        UnpackPosition(position, settings);
}

int LoadMonitorSettings(MonitorSettings* settings, bool createIfMissing)
{
    SetMonitorDefaults(settings);
    HKEY key = FindMonitorKey(*settings, false, false, nullptr);
    if (!key)
        return createIfMissing ? SaveMonitorSettings(settings, true) : 0;
    ReadStoredValues(key, settings);
    RegCloseKey(key);
    return SaveMonitorSettings(settings, true);
}

int SaveMonitorSettings(MonitorSettings* settings, bool withPosition)
{
    HKEY key = FindMonitorKey(*settings, true, true, nullptr);
    if (!key)
        return 0;
    for (int i = 0; i < MonitorFlagCount; ++i) {
        BYTE flag = settings->flags[i] ? 1 : 0;
        RegSetValueExW(key, MonitorFlagNames[i], 0, REG_BINARY, &flag, 1);
    }
    DWORD level = settings->transparentLevel;
    DWORD rate = settings->refreshRate;
    RegSetValueExW(key, L"TransparentLevel", 0, REG_DWORD, reinterpret_cast<BYTE*>(&level), 4);
    RegSetValueExW(key, L"RefreshRate", 0, REG_DWORD, reinterpret_cast<BYTE*>(&rate), 4);
    uint8_t colors[ColorsValueSize];
    PackColors(*settings, colors);
    RegSetValueExW(key, L"Colors", 0, REG_BINARY, colors, ColorsValueSize);
    if (withPosition)
        SaveMonitorPosition(key, settings);
    RegCloseKey(key);
    return 0;
}

int SaveMonitorPosition(HKEY key, MonitorSettings* settings)
{
    HKEY own = nullptr;
    if (!key) {
        own = FindMonitorKey(*settings, false, true, nullptr);
        if (!own)
            return 0;
        key = own;
    }
    CheckMonitorRectangle(settings, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    uint8_t position[PositionValueSize];
    PackPosition(*settings, position);
    RegSetValueExW(key, L"SizePositionWindow", 0, REG_BINARY, position, PositionValueSize);
    if (own)
        RegCloseKey(own);
    return 1;
}

int DeleteMonitorSettings(const MonitorSettings& settings)
{
    Text16 subkey;
    HKEY key = FindMonitorKey(settings, false, true, &subkey);
    if (!key)
        return 0;
    RegCloseKey(key);
    HKEY monitors = OpenMonitorsKey(false, KEY_ALL_ACCESS);
    if (!monitors)
        return 0;
    LONG result = DeleteKeyTree(monitors, subkey.c_str());
    RegCloseKey(monitors);
    return result == ERROR_SUCCESS ? 1 : 0;
}

static uint32_t CustomColors[16];
static bool CustomColorsLoaded;

const uint32_t* LoadCustomColors()
{
    if (CustomColorsLoaded)
        return CustomColors;
    bool read = false;
    HKEY monitors = OpenMonitorsKey(false, KEY_READ);
    if (monitors) {
        // The value may be longer than the table; only its first 64 bytes count.
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(monitors, L"CustomColors", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
            type == REG_BINARY && size >= CustomColorsValueSize) {
            BYTE* buffer = new (std::nothrow) BYTE[size];
            if (buffer && RegQueryValueExW(monitors, L"CustomColors", nullptr, &type, buffer, &size) == ERROR_SUCCESS &&
                type == REG_BINARY && size >= CustomColorsValueSize) {
                memcpy(CustomColors, buffer, CustomColorsValueSize);
                read = true;
            }
            delete[] buffer;
        }
        RegCloseKey(monitors);
    }
    if (!read)
        memcpy(CustomColors, DefaultCustomColors, sizeof CustomColors);
    CustomColorsLoaded = true;
    return CustomColors;
}

void SaveCustomColors(const uint32_t colors[16])
{
    if (colors != CustomColors)
        memcpy(CustomColors, colors, sizeof CustomColors);
    CustomColorsLoaded = true;
    HKEY monitors = OpenMonitorsKey(true, KEY_ALL_ACCESS);
    if (!monitors)
        return;
    RegSetValueExW(monitors, L"CustomColors", 0, REG_BINARY, reinterpret_cast<const BYTE*>(CustomColors),
                   CustomColorsValueSize);
    RegCloseKey(monitors);
}
