#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "monitor/monitor_settings.h"

namespace {

MonitorSettings WithRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    MonitorSettings s{};
    SetMonitorDefaults(&s);
    s.left = left;
    s.top = top;
    s.right = right;
    s.bottom = bottom;
    return s;
}

void ExpectRectangle(const MonitorSettings& s, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(s.left, left);
    EXPECT_EQ(s.top, top);
    EXPECT_EQ(s.right, right);
    EXPECT_EQ(s.bottom, bottom);
}

TEST(MonitorSettings, DefaultsLeaveNamesAndChainAlone)
{
    MonitorSettings s{};
    s.interfaceId = TEXT16("{id}");
    s.next = &s;
    s.ownerWord = 7;
    SetMonitorDefaults(&s);
    EXPECT_EQ(s.interfaceId, Text16(TEXT16("{id}")));
    EXPECT_EQ(s.next, &s);
    EXPECT_EQ(s.ownerWord, 7u);
    EXPECT_EQ(s.refreshRate, 1000u);
    EXPECT_EQ(s.positionWord, 1u);
    ExpectRectangle(s, 0, 0, 200, 128);
    EXPECT_EQ(s.flags[ShowWindowOnTop], 1u);
    EXPECT_EQ(s.flags[EnableVerticalLines], 0u);
    EXPECT_EQ(s.flags[EnableBytesPerSecond], 1u);
    // In both bar groups the end colour is stored before the middle one.
    EXPECT_EQ(s.colors[ReceiveBarEnd], 0x004646FFu);
    EXPECT_EQ(s.colors[ReceiveBarMiddle], 0x002DDBDFu);
    EXPECT_EQ(s.colors[SendBarStart], 0x001CBB04u);
    EXPECT_EQ(s.colors[ConnectionTimeTextBackground], 0x00FFFFFFu);
}

TEST(MonitorSettings, RectangleIsOrderedAndKeptOnScreen)
{
    MonitorSettings narrow = WithRectangle(100, 100, 120, 300);
    CheckMonitorRectangle(&narrow, 1024, 768);
    ExpectRectangle(narrow, 100, 100, 164, 300);

    MonitorSettings farRight = WithRectangle(5000, 10, 5200, 138);
    CheckMonitorRectangle(&farRight, 1024, 768);
    EXPECT_EQ(farRight.left, 1014);
    // The old right edge is kept, so the width now exceeds the screen and is cut.
    EXPECT_EQ(farRight.right, 1014 + 1014);

    MonitorSettings swapped = WithRectangle(300, 400, 100, 200);
    CheckMonitorRectangle(&swapped, 1024, 768);
    ExpectRectangle(swapped, 100, 200, 300, 400);

    // Only a sliver left of the screen is pulled back; a window mostly off
    // the left edge but wide enough stays where the user put it.
    MonitorSettings sliver = WithRectangle(-5, -3, 0, 0);
    CheckMonitorRectangle(&sliver, 1024, 768);
    ExpectRectangle(sliver, 0, 0, 64, 48);
    MonitorSettings offLeft = WithRectangle(-150, 0, 50, 128);
    CheckMonitorRectangle(&offLeft, 1024, 768);
    ExpectRectangle(offLeft, -150, 0, 50, 128);

    MonitorSettings huge = WithRectangle(0, 0, 3000, 2000);
    CheckMonitorRectangle(&huge, 1024, 768);
    ExpectRectangle(huge, 0, 0, 1014, 758);
}

TEST(MonitorSettings, RectangleFromAnyStoredWordsStaysDefined)
{
    // Whatever 20 bytes the registry holds, the check must not overflow.
    MonitorSettings extreme = WithRectangle(INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN);
    CheckMonitorRectangle(&extreme, 1024, 768);
    EXPECT_LE(extreme.left, extreme.right);
    EXPECT_LE(extreme.top, extreme.bottom);
    EXPECT_LE(int64_t(extreme.right) - extreme.left, 1024);
    EXPECT_LE(int64_t(extreme.bottom) - extreme.top, 768);
}

TEST(MonitorSettings, SubkeyNamesAreFourDigits)
{
    Char16 name[5];
    ASSERT_TRUE(MonitorSubkeyName(0, name));
    EXPECT_EQ(Text16(name), Text16(TEXT16("0000")));
    ASSERT_TRUE(MonitorSubkeyName(42, name));
    EXPECT_EQ(Text16(name), Text16(TEXT16("0042")));
    ASSERT_TRUE(MonitorSubkeyName(9999, name));
    EXPECT_EQ(Text16(name), Text16(TEXT16("9999")));
    EXPECT_FALSE(MonitorSubkeyName(10000, name));
    EXPECT_FALSE(MonitorSubkeyName(-1, name));
}

// The registry's side of the walk, scripted: one visit result per index,
// then what a key deleted under the walk answers for every index after.
struct ScriptedWalk {
    std::vector<SubkeyVisit> visits;
    uint32_t calls = 0;
};

SubkeyVisit ScriptedVisit(uint32_t index, void* context)
{
    auto* walk = static_cast<ScriptedWalk*>(context);
    ++walk->calls;
    return index < walk->visits.size() ? walk->visits[index] : SubkeyWalkEnds;
}

TEST(MonitorSettings, SubkeyWalkStopsAtAMatchOrTheFirstFailure)
{
    const struct {
        std::vector<SubkeyVisit> visits;
        bool found;
        uint32_t calls;
    } cases[] = {
        {{}, false, 1},
        {{SubkeyDiffers, SubkeyMatches, SubkeyDiffers}, true, 2},
        {{SubkeyDiffers, SubkeyDiffers}, false, 3},  // deleted after two subkeys
    };
    for (const auto& c : cases) {
        ScriptedWalk walk{c.visits};
        EXPECT_EQ(c.found, FindSubkeyByVisits(ScriptedVisit, &walk));
        EXPECT_EQ(c.calls, walk.calls);
    }
}

TEST(MonitorSettings, BinaryValuesAreLittleEndianImages)
{
    MonitorSettings s = WithRectangle(-1, INT32_MIN, INT32_MAX, 128);
    s.positionWord = 0;
    for (int i = 0; i < MonitorColorCount; ++i)
        s.colors[i] = i % 2 ? 0x00FFFFFFu : uint32_t(i);
    uint8_t position[PositionValueSize];
    PackPosition(s, position);
    const uint8_t expected[PositionValueSize] = {0, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0, 0,
                                                 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 128,  0,    0, 0};
    EXPECT_EQ(0, memcmp(position, expected, PositionValueSize));
    uint8_t colors[ColorsValueSize];
    PackColors(s, colors);
    EXPECT_EQ(colors[4 * 21], 0xFF);
    EXPECT_EQ(colors[4 * 21 + 3], 0);

    MonitorSettings back{};
    UnpackPosition(position, &back);
    UnpackColors(colors, &back);
    ExpectRectangle(back, -1, INT32_MIN, INT32_MAX, 128);
    EXPECT_EQ(back.positionWord, 0u);
    EXPECT_EQ(0, memcmp(back.colors, s.colors, sizeof s.colors));
}

}  // namespace
