#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "monitor/monitor_settings.h"
#include "monitor/monitor_window_rules.h"

namespace {

MonitorSettings At(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    MonitorSettings s{};
    SetMonitorDefaults(&s);
    s.left = left, s.top = top, s.right = right, s.bottom = bottom;
    return s;
}

std::vector<int32_t> Edges(const MonitorSettings& s)
{
    return {s.left, s.top, s.right, s.bottom};
}

// Ordered and kept on a 1024 x 768 screen at 64 x 48 or more. The old right
// edge is kept, so a width past the screen is cut; only a sliver left of the
// screen is pulled back, a window mostly off the left edge but wide enough
// stays where the user put it.
TEST(MonitorSettings, RectangleIsOrderedAndKeptOnScreen)
{
    const int32_t rows[][8] = {{300, 400, 100, 200, 100, 200, 300, 400},
                               {-5, -3, 0, 0, 0, 0, 64, 48},
                               {-150, 0, 50, 128, -150, 0, 50, 128},
                               {0, 0, 3000, 2000, 0, 0, 1014, 758}};
    for (const auto& r : rows) {
        MonitorSettings s = At(r[0], r[1], r[2], r[3]);
        CheckMonitorRectangle(&s, 1024, 768);
        EXPECT_EQ(Edges(s), std::vector<int32_t>(r + 4, r + 8)) << r[0];
    }
    // Whatever 20 bytes the registry holds, the check must not overflow.
    MonitorSettings x = At(INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN);
    CheckMonitorRectangle(&x, 1024, 768);
    EXPECT_TRUE(x.left <= x.right && int64_t(x.right) - x.left <= 1024);
    EXPECT_TRUE(x.top <= x.bottom && int64_t(x.bottom) - x.top <= 768);
}

// The edge under the mouse gives way to the minimum, the opposite edge stays
// put; corners correct both axes on their own side.
TEST(MonitorSettings, DraggedEdgeSnapsBackToTheMinimum)
{
    const int32_t rows[][9] = {{SizingTop, 100, 130, 300, 150, 100, 102, 300, 150},
                               {SizingRight, 100, 100, 120, 200, 100, 100, 164, 200},
                               {SizingBottomLeft, 280, 100, 300, 110, 236, 100, 300, 148},
                               {SizingTopRight, 100, 180, 110, 200, 100, 152, 164, 200},
                               {SizingBottomRight, 0, 0, 64, 48, 0, 0, 64, 48}};
    for (const auto& r : rows) {
        MonitorFrame f = {r[1], r[2], r[3], r[4]};
        KeepMinimumSize(&f, r[0]);
        EXPECT_EQ(std::vector<int32_t>({f.left, f.top, f.right, f.bottom}), std::vector<int32_t>(r + 5, r + 9)) << r[0];
    }
}

// The registry's side of the subkey walk, scripted: one visit result per
// index, then what a key deleted under the walk answers for every index after.
struct Walk {
    std::vector<SubkeyVisit> visits;
    uint32_t calls = 0;
};

SubkeyVisit Visit(uint32_t index, void* context)
{
    Walk* walk = static_cast<Walk*>(context);
    return ++walk->calls, index < walk->visits.size() ? walk->visits[index] : SubkeyWalkEnds;
}

// Subkey names are four digits; the walk stops at a match or the first failure.
TEST(MonitorSettings, SubkeysAndDefaults)
{
    Char16 name[5];
    ASSERT_TRUE(MonitorSubkeyName(42, name));
    EXPECT_EQ(Text16(name), u"0042");
    EXPECT_FALSE(MonitorSubkeyName(10000, name) || MonitorSubkeyName(-1, name));
    const SubkeyVisit D = SubkeyDiffers;
    const std::tuple<std::vector<SubkeyVisit>, bool, uint32_t> walks[] = {
        {{}, false, 1}, {{D, SubkeyMatches, D}, true, 2}, {{D, D}, false, 3}};
    for (const auto& w : walks) {
        Walk walk{std::get<0>(w)};
        EXPECT_EQ(FindSubkeyByVisits(Visit, &walk), std::get<1>(w));
        EXPECT_EQ(walk.calls, std::get<2>(w));
    }

    // The binary values' images are the registry tests' to read back; the
    // defaults leave the names and the chain alone.
    MonitorSettings back{};
    back.interfaceId = u"{id}", back.next = &back;
    SetMonitorDefaults(&back);
    EXPECT_TRUE(back.interfaceId == u"{id}" && back.next == &back);
}

}  // namespace
