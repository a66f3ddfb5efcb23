// The monitors' keys: numbering and lookup, values read by size whatever
// their type, the rectangle check on write, and custom colours.
#include <cstring>

#include "monitor/monitor_settings_store.h"
#include "registry_probe.h"

static const wchar_t IdA[] = L"{A}", IdB[] = L"{B}";
static const wchar_t *const First = L"Monitors\\0000", *const Second = L"Monitors\\0001";

// The stored fields lie together, from transparentLevel to bottom.
static size_t StoredSize(const MonitorSettings& s)
{
    return reinterpret_cast<const char*>(&s.bottom + 1) - reinterpret_cast<const char*>(&s.transparentLevel);
}

// Every stored field wrong, so that a load has to set them all.
static MonitorSettings Monitor(const wchar_t* id, bool defaults = false)
{
    MonitorSettings s;
    s.ownerWord = 0, s.interfaceId = id, s.next = nullptr;
    memset(&s.transparentLevel, 0xA5, StoredSize(s));
    if (defaults)
        SetMonitorDefaults(&s);
    return s;
}

void MonitorKeyTests()
{
    MonitorSettings a = Monitor(IdA), b = Monitor(IdB), c = Monitor(L"{c}");
    CHECK(LoadMonitorSettings(&a, false) == 0 && !KeyExists(L""));
    LoadMonitorSettings(&a, true);
    LoadMonitorSettings(&b, true);
    LoadMonitorSettings(&a, false);
    CHECK(Count(L"Monitors", false) == 2);
    // A new monitor takes the lowest free number; the other stays as it was.
    DWORD values = Count(Second, true);
    CHECK(DeleteMonitorSettings(a) == 1 && !KeyExists(First) && DeleteMonitorSettings(a) == 0);
    SaveMonitorSettings(&c, true);
    CHECK(KeyExists(First) && Count(Second, true) == values);
    // Names equal but for letter case are one monitor.
    c.interfaceId = L"{C}";
    LoadMonitorSettings(&c, true);
    CHECK(Count(L"Monitors", false) == 2);
}

void MonitorValueTests()
{
    // Each value is read over its field by size, whatever its type: a
    // shorter one overwrites the field's first bytes, a longer or missing one
    // leaves the default (a missing or longer flag is off).
    Put(First, L"Name", String(IdA));
    for (int i = 0; i < MonitorFlagCount; ++i)
        if (i != ShowWindowOnTop)
            Put(First, MonitorFlagNames[i], i == HideWindowTitle ? Dword(1) : Binary({1}));
    Put(First, L"EnableTimeArrow", Dword(0));
    // One byte of another type.
    Put(First, L"EnableBytesPerSecond", {REG_DWORD, {1}});
    Put(First, L"Colors", Binary(std::vector<BYTE>(40, 0x11)));
    Put(First, L"RefreshRate", Binary({0xF4, 0x01, 0, 0}));
    Put(First, L"TransparentLevel", Binary({1, 0, 0, 0, 0}));
    const uint32_t at[] = {2, 10, 20, 110};
    Put(First, L"SizePositionWindow", Binary(Bytes(at, 4)));
    MonitorSettings loaded = Monitor(IdA), expected = Monitor(IdA, true);
    for (int i = 0; i < MonitorFlagCount; ++i)
        expected.flags[i] = i != ShowWindowOnTop && i != HideWindowTitle && i != EnableTimeArrow;
    expected.refreshRate = 500;
    memset(expected.colors, 0x11, 40);
    memcpy(&expected.positionWord, at, sizeof at);
    LoadMonitorSettings(&loaded, false);
    CHECK(memcmp(&loaded.transparentLevel, &expected.transparentLevel, StoredSize(loaded)) == 0);
    // Written back in the types the agent keeps.
    CHECK(ReadRaw(First, L"HideWindowTitle") == Binary({0}) && ReadRaw(First, L"RefreshRate") == Dword(500) &&
          ReadRaw(First, L"TransparentLevel") == Dword(expected.transparentLevel) &&
          ReadRaw(First, L"Colors") == Binary(Bytes(expected.colors, MonitorColorCount)));

    // The rectangle is checked on the way out, against the real screen.
    MonitorSettings m = Monitor(IdA, true), unknown = Monitor(IdB, true);
    m.left = 5000, m.right = 5100;
    CHECK(SaveMonitorPosition(nullptr, &m) == 1 && m.left < GetSystemMetrics(SM_CXSCREEN) &&
          ReadRaw(First, L"SizePositionWindow") == Binary(Bytes(&m.positionWord, 5)));
    CHECK(SaveMonitorPosition(nullptr, &unknown) == 0 && Count(L"Monitors", false) == 1);
}

// Known values for the e2e case to read back with `reg query`. A process
// reads the custom colours once, here first: of a value longer than the table
// (and than 256 bytes) only the first 64 bytes count, and are written back.
void LeaveMonitors()
{
    uint32_t greys[16];
    for (uint32_t i = 0; i < 16; ++i)
        greys[i] = 0x111111 * i;
    std::vector<BYTE> value = Bytes(greys, 16);
    value.resize(300, 0xEE);
    Put(L"Monitors", L"CustomColors", Binary(value));
    CHECK(memcmp(LoadCustomColors(), greys, 64) == 0);
    SaveCustomColors(LoadCustomColors());
    MonitorSettings first = Monitor(IdA, true), second = Monitor(IdB);
    for (int i = 0; i < MonitorFlagCount; ++i)
        first.flags[i] = i % 2 == 0;
    first.positionWord = 2;
    first.left = -20, first.top = 30, first.right = 300, first.bottom = 230;
    SaveMonitorSettings(&first, true);
    LoadMonitorSettings(&second, true);
}
