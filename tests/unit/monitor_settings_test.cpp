#include <gtest/gtest.h>

#include <climits>
#include <cstring>
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

std::vector<int32_t> Rectangle(const MonitorSettings& s)
{
    return {s.left, s.top, s.right, s.bottom};
}

TEST(MonitorSettings, DefaultsLeaveNamesAndChainAlone)
{
    MonitorSettings s{};
    s.interfaceId = u"{id}";
    s.next = &s;
    SetMonitorDefaults(&s);
    EXPECT_EQ(s.interfaceId, u"{id}");
    EXPECT_EQ(s.next, &s);
}

TEST(MonitorSettings, RectangleIsOrderedAndKeptOnScreen)
{
    const struct {
        std::vector<int32_t> stored, checked;
    } rows[] = {
        {{100, 100, 120, 300}, {100, 100, 164, 300}},
        // The old right edge is kept, so the width exceeds the screen and is cut.
        {{5000, 10, 5200, 138}, {1014, 10, 2028, 138}},
        {{300, 400, 100, 200}, {100, 200, 300, 400}},
        // Only a sliver left of the screen is pulled back; a window mostly
        // off the left edge but wide enough stays where the user put it.
        {{-5, -3, 0, 0}, {0, 0, 64, 48}},
        {{-150, 0, 50, 128}, {-150, 0, 50, 128}},
        {{0, 0, 3000, 2000}, {0, 0, 1014, 758}},
    };
    for (const auto& r : rows) {
        MonitorSettings s = WithRectangle(r.stored[0], r.stored[1], r.stored[2], r.stored[3]);
        CheckMonitorRectangle(&s, 1024, 768);
        EXPECT_EQ(Rectangle(s), r.checked) << r.stored[0];
    }
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
    ASSERT_TRUE(MonitorSubkeyName(42, name));
    EXPECT_EQ(Text16(name), u"0042");
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
    uint8_t position[PositionValueSize], colors[ColorsValueSize];
    PackPosition(s, position);
    const uint8_t expected[PositionValueSize] = {0, 0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 0, 0,
                                                 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 128,  0,    0, 0};
    EXPECT_EQ(0, memcmp(position, expected, PositionValueSize));
    PackColors(s, colors);
    EXPECT_EQ(colors[4 * 21], 0xFF);  // 0x00FFFFFF, low byte first
    MonitorSettings back{};
    UnpackPosition(position, &back);
    UnpackColors(colors, &back);
    EXPECT_EQ(Rectangle(back), Rectangle(s));
    EXPECT_EQ(back.positionWord, 0u);
    EXPECT_EQ(0, memcmp(back.colors, s.colors, sizeof s.colors));
}

}  // namespace
