// The monitors' keys: numbering and lookup, repair of stored values, the
// round trip, the rectangle check on write, custom colours, and keys that
// cannot be opened.
#include <climits>
#include <cstring>

#include "monitor/monitor_settings_store.h"
#include "registry_probe.h"

static const wchar_t IdA[] = L"{0A6F3C51-7E20-4B8D-9C41-5D2E8F10A001}";
static const wchar_t IdB[] = L"{0A6F3C51-7E20-4B8D-9C41-5D2E8F10A002}";
static const wchar_t IdC[] = L"{0A6F3C51-7E20-4B8D-9C41-5D2E8F10A003}";
static const wchar_t* const First = L"Monitors\\0000";
static const wchar_t* const Second = L"Monitors\\0001";

// Every stored field wrong, so that a load has to set them all.
static MonitorSettings Monitor(const wchar_t* id, bool defaults = false)
{
    MonitorSettings s;
    s.ownerWord = 0, s.interfaceId = id, s.next = nullptr;
    s.transparentLevel = 77, s.refreshRate = 7, s.positionWord = 0xA5;
    memset(s.flags, 0xA5, sizeof s.flags);
    memset(s.colors, 0xA5, sizeof s.colors);
    s.left = s.top = s.right = s.bottom = 0xA5;
    if (defaults)
        SetMonitorDefaults(&s);
    return s;
}

static bool SameValues(const MonitorSettings& a, const MonitorSettings& b)
{
    return a.transparentLevel == b.transparentLevel && a.refreshRate == b.refreshRate &&
        memcmp(a.flags, b.flags, sizeof a.flags) == 0 && memcmp(a.colors, b.colors, sizeof a.colors) == 0 &&
        a.positionWord == b.positionWord && a.left == b.left && a.top == b.top && a.right == b.right &&
        a.bottom == b.bottom;
}

static RawValue Position(const MonitorSettings& s)
{
    uint32_t words[5] = {s.positionWord, uint32_t(s.left), uint32_t(s.top), uint32_t(s.right), uint32_t(s.bottom)};
    return Binary(LittleEndian(words, 5));
}

void MonitorKeyTests()
{
    MonitorSettings probe = Monitor(IdA);
    CHECK(LoadMonitorSettings(&probe, false) == 0 && SameValues(probe, Monitor(L"", true)) && !KeyExists(L""));

    DWORD handles = HandleCount();
    MonitorSettings a = Monitor(IdA), b = Monitor(IdB), c = Monitor(IdC);
    LoadMonitorSettings(&a, true);
    CHECK(SameValues(a, Monitor(L"", true)) && ReadRaw(First, L"Name") == String(IdA));
    CHECK(ReadRaw(First, L"ShowWindowOnTop") == Binary({1}) && ReadRaw(First, L"RefreshRate") == Dword(1000));
    LoadMonitorSettings(&b, true);
    probe = Monitor(IdC);
    LoadMonitorSettings(&probe, false);
    CHECK(ReadRaw(Second, L"Name") == String(IdB) && SubkeyCount(L"Monitors") == 2);

    auto untouched = AllValues(Second);
    CHECK(untouched.size() == 21);
    CHECK(DeleteMonitorSettings(a) == 1 && !KeyExists(First) && DeleteMonitorSettings(a) == 0);
    SaveMonitorSettings(&c, true);
    CHECK(ReadRaw(First, L"Name") == String(IdC) && SubkeyCount(L"Monitors") == 2);
    CHECK(AllValues(Second) == untouched);
    CHECK(!handles || HandleCount() == handles);

    // Names equal but for letter case are one monitor; the first one wins
    // and keeps its spelling.
    CHECK(CleanAgentKey());
    Put(First, L"Name", String(L"{abc-def}"));
    Put(First, L"TransparentLevel", Dword(30));
    Put(Second, L"Name", String(L"{ABC-DEF}"));
    Put(Second, L"TransparentLevel", Dword(60));
    MonitorSettings mixed = Monitor(L"{Abc-Def}");
    LoadMonitorSettings(&mixed, true);
    CHECK(mixed.transparentLevel == 30);
    mixed.transparentLevel = 45;
    SaveMonitorSettings(&mixed, false);
    CHECK(ReadRaw(First, L"TransparentLevel") == Dword(45) && ReadRaw(Second, L"TransparentLevel") == Dword(60));
    CHECK(ReadRaw(First, L"Name") == String(L"{abc-def}") && SubkeyCount(L"Monitors") == 2);
}

void MonitorValueTests()
{
    // Each value is read over its field by size, whatever its type: a
    // shorter one overwrites the field's first bytes, a longer or missing one
    // leaves the default (a missing or longer flag is off), and all is
    // written back in its proper form. The store has no range checks.
    Put(First, L"Name", String(IdA));
    for (int i = 0; i < MonitorFlagCount; ++i)
        if (i != ShowWindowOnTop)
            Put(First, MonitorFlagNames[i], i == HideWindowTitle ? Dword(1) : Binary({1}));
    Put(First, L"EnableTimeArrow", Dword(0));
    Put(First, L"Colors", Binary(std::vector<BYTE>(40, 0x11)));
    Put(First, L"RefreshRate", Binary({0xF4, 0x01, 0, 0}));
    Put(First, L"TransparentLevel", Dword(250));
    Put(First, L"SizePositionWindow", Binary(std::vector<BYTE>(16, 0x22)));
    RawValue flagAsDword = Binary({1});
    flagAsDword.type = REG_DWORD;
    Put(First, L"EnableBytesPerSecond", flagAsDword);  // one byte of another type
    MonitorSettings loaded = Monitor(IdA), expected = Monitor(IdA, true);
    for (int i = 0; i < MonitorFlagCount; ++i)
        expected.flags[i] = i != ShowWindowOnTop && i != HideWindowTitle && i != EnableTimeArrow;
    expected.transparentLevel = 250;
    expected.refreshRate = 500;
    for (int i = 0; i < 10; ++i)
        expected.colors[i] = 0x11111111;
    expected.positionWord = expected.left = expected.top = expected.right = 0x22222222;
    CheckMonitorRectangle(&expected, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    LoadMonitorSettings(&loaded, false);
    CHECK(SameValues(loaded, expected));
    CHECK(ReadRaw(First, L"HideWindowTitle") == Binary({0}) && ReadRaw(First, L"EnableTimeArrow") == Binary({0}) &&
          ReadRaw(First, L"EnableBytesPerSecond") == Binary({1}) && ReadRaw(First, L"RefreshRate") == Dword(500));
    CHECK(ReadRaw(First, L"Colors") == Binary(LittleEndian(expected.colors, MonitorColorCount)));
    CHECK(ReadRaw(First, L"SizePositionWindow") == Position(expected));
    Put(First, L"TransparentLevel", Binary({1, 0, 0, 0, 0}));
    Put(First, L"Colors", Binary(std::vector<BYTE>(89, 0x33)));
    Put(First, L"RefreshRate", Dword(0xFFFFFFFF));
    LoadMonitorSettings(&loaded, false);
    MonitorSettings defaults = Monitor(IdA, true);
    CHECK(loaded.transparentLevel == 0 && ReadRaw(First, L"TransparentLevel") == Dword(0));
    CHECK(memcmp(loaded.colors, defaults.colors, sizeof loaded.colors) == 0);
    CHECK(loaded.refreshRate == 0xFFFFFFFF && ReadRaw(First, L"RefreshRate") == Dword(0xFFFFFFFF));

    // Every field both ways, at the ends of its range.
    int32_t width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    for (int pass = 0; pass < 2; ++pass) {
        MonitorSettings saved = Monitor(IdA);
        for (int i = 0; i < MonitorFlagCount; ++i)
            saved.flags[i] = (i + pass) % 2;
        saved.transparentLevel = pass ? 100 : 0;
        saved.refreshRate = pass ? 100 : 1000;
        for (int i = 0; i < MonitorColorCount; ++i)
            saved.colors[i] = (i + pass) % 2 ? 0xFFFFFF : i * 0x0B0A09u;
        saved.positionWord = pass ? 0xFFFFFFFF : 0;
        if (pass)
            saved.left = width, saved.right = 2 * width, saved.top = height, saved.bottom = 2 * height;
        else
            saved.left = INT_MIN, saved.right = INT_MIN + 64, saved.top = INT_MIN, saved.bottom = INT_MIN + 48;
        MonitorSettings written = saved, back = Monitor(IdA);
        SaveMonitorSettings(&written, true);
        LoadMonitorSettings(&back, false);
        CHECK(SameValues(written, saved) && SameValues(back, saved));
    }

    // The rectangle check on the way out, against the real screen. Far off
    // to the right only the left edge is fixed; the width must still fit.
    const int32_t cases[][8] = {
        {300, 200, 100, 50, 100, 50, 300, 200},
        {5000, 10, 5100, 110, width - 10, 10, INT_MIN, 110},
    };
    for (const auto& c : cases) {
        MonitorSettings m = Monitor(IdA, true);
        m.left = c[0], m.top = c[1], m.right = c[2], m.bottom = c[3];
        CHECK(SaveMonitorPosition(nullptr, &m) == 1 && ReadRaw(First, L"SizePositionWindow") == Position(m));
        CHECK(m.left == c[4] && m.top == c[5] && (c[6] == INT_MIN || m.right == c[6]) && m.bottom == c[7]);
        CHECK(m.right - m.left >= 64 && m.right - m.left <= width);
    }
    MonitorSettings unknown = Monitor(IdB, true);
    unknown.left = 300;
    CHECK(SaveMonitorPosition(nullptr, &unknown) == 0 && unknown.left == 300 && SubkeyCount(L"Monitors") == 1);
}

static uint32_t Greys[16];

static void MakeGreys()
{
    for (uint32_t i = 0; i < 16; ++i)
        Greys[i] = 0x111111 * i;
}

// Child mode: which table a fresh process gets; 1 the defaults, 2 Greys.
int CustomColorsKind()
{
    MakeGreys();
    const uint32_t* colors = LoadCustomColors();
    return memcmp(colors, DefaultCustomColors, 64) == 0 ? 1 : memcmp(colors, Greys, 64) == 0 ? 2 : 3;
}

static DWORD CustomColorsKindOfNewProcess()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --custom-colors";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    DWORD code = 0;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 30000);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return code;
}

// A process reads the value once, so each stored state gets its own.
void CustomColorTests()
{
    MakeGreys();
    CHECK(CustomColorsKindOfNewProcess() == 1);
    Put(L"Monitors", L"CustomColors", Binary(std::vector<BYTE>(40, 0x33)));
    CHECK(CustomColorsKindOfNewProcess() == 1);
    Put(L"Monitors", L"CustomColors", Binary(LittleEndian(Greys, 16)));
    CHECK(CustomColorsKindOfNewProcess() == 2);
    CHECK(CleanAgentKey());
    SaveCustomColors(Greys);
    CHECK(ReadRaw(L"Monitors", L"CustomColors") == Binary(LittleEndian(Greys, 16)));
    CHECK(memcmp(LoadCustomColors(), Greys, 64) == 0);
}

void MonitorRightsTests()
{
    MonitorSettings stored = Monitor(IdA, true);
    stored.transparentLevel = 50;
    SaveMonitorSettings(&stored, false);
    // Monitors may be read but not written; the monitor's own key not even read.
    CHECK(LockKey(First, WRITE_DAC) && LockKey(L"Monitors", KEY_READ | WRITE_DAC));
    if (HKEY writable = OpenUnder(L"Monitors", KEY_WRITE)) {
        RegCloseKey(writable);
        printf("note: key DACLs are not enforced, keys without rights not tried\n");
    } else {
        MonitorSettings a = Monitor(IdA), b = Monitor(IdB);
        LoadMonitorSettings(&a, true);
        SaveMonitorSettings(&b, true);
        CHECK(SameValues(a, Monitor(L"", true)) && SubkeyCount(L"Monitors") == 1);
        LoadMonitorSettings(&b, true);
        CHECK(SameValues(b, Monitor(L"", true)) && SubkeyCount(L"Monitors") == 1 && DeleteMonitorSettings(a) == 0);
    }
    CHECK(UnlockKey(L"Monitors") && UnlockKey(First) && ReadRaw(First, L"TransparentLevel") == Dword(50));
}

// Known values for the e2e case to read back with `reg query`.
int LeaveMonitors()
{
    if (!CleanAgentKey())
        return 1;
    MonitorSettings first = Monitor(L"{5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4D}", true);
    for (int i = 0; i < MonitorFlagCount; ++i)
        first.flags[i] = i % 2 == 0;
    first.transparentLevel = 40, first.refreshRate = 250, first.positionWord = 2;
    for (int i = 0; i < MonitorColorCount; ++i)
        first.colors[i] = 0x030201u * i;
    first.left = -20, first.top = 30, first.right = 300, first.bottom = 230;
    SaveMonitorSettings(&first, true);
    MakeGreys();
    MonitorSettings second = Monitor(L"{5E1A0C2B-3D4F-4A6B-8C7D-9E0F1A2B3C4E}");
    LoadMonitorSettings(&second, true);
    SaveCustomColors(Greys);
    return KeyExists(First) && KeyExists(Second) ? 0 : 1;
}
