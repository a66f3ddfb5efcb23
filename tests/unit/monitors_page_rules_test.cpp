#include <gtest/gtest.h>

#include "monitor/appearance_rules.h"
#include "prefs/monitors_page_rules.h"

namespace {

MonitorSettings Monitor(uint32_t transparency, uint32_t refresh)
{
    MonitorSettings settings = {};
    SetMonitorDefaults(&settings);
    settings.transparentLevel = transparency, settings.refreshRate = refresh;
    return settings;
}

// The page averages what is stored and limits the result afterwards (the
// page's own tests see plain averages); sums of huge stored values must not
// wrap. Where the window applies them, stored values are clamped.
TEST(MonitorsPage, SelectionAveragesThenLimits)
{
    MonitorSettings monitors[2] = {Monitor(0x80000000u, 0xFFFFFFFFu), Monitor(0x80000000u, 0xFFFFFFFFu)};
    MonitorSelectionRecord selection;
    ClearSelection(&selection);
    AddToSelection(&selection, &monitors[0]);
    AddToSelection(&selection, &monitors[1]);
    EXPECT_TRUE(SelectionTransparency(selection) == 100 && SelectionRefreshRate(selection) == 1000);
    EXPECT_EQ(AppliedTransparentLevel(101), 100u);
    EXPECT_EQ(LayeredAlpha(0xFFFFFFFFu), LayeredAlpha(100));
}

// A pattern from a damaged string table is shown as it stands; choosing the
// colour shown is no change, unless it is black.
TEST(MonitorsPage, IntervalsLabelsAndColourChoices)
{
    const std::pair<uint32_t, std::u16string> intervals[] = {{999, u"999 msec"}, {1000, u"1 sec"}, {1500, u"1 sec"}};
    for (const auto& i : intervals)
        EXPECT_EQ(FormatInterval(i.first), i.second) << i.first;
    EXPECT_EQ(FillLabel(u"Diagram refresh rate: %s", FormatInterval(100), true), u"Diagram refresh rate: 100 msec*");
    EXPECT_EQ(FillLabel(u"%x %d %d %", u"7", false), u"%x 7 %d %");
    EXPECT_TRUE(!ColorChoiceIsChange(0x00FF00, 0x00FF00) && ColorChoiceIsChange(0x00FF00, 0x0000FF) &&
                ColorChoiceIsChange(0, 0));
}

// Only what the page marks as modified is written; mixed flags stay.
TEST(MonitorsPage, ApplyWritesOnlyWhatChanged)
{
    MonitorSettings record = Monitor(10, 500), other = Monitor(0, 1000);
    record.next = &other;
    record.flags[PopupWhenConnected] = 1;
    record.colors[SendBackground] = 0x111111;
    MonitorChanges changes = {};
    for (uint8_t& image : changes.flagImage)
        image = TriMixed;
    changes.flagImage[ShowWindowOnTop] = TriOff, changes.flagImage[EnableVerticalLines] = TriOn;
    changes.transparency = 70, changes.transparencyModified = 1, changes.refreshRate = 300;
    changes.editColors[ReceiveBarEnd] = 0x0000FF, changes.colorModified[ReceiveBarEnd] = 1;
    changes.editColors[SendBackground] = 0x222222;
    ApplyChangesToRecord(changes, &record);
    EXPECT_EQ(
        std::vector<uint32_t>({record.next == nullptr, record.flags[ShowWindowOnTop], record.flags[EnableVerticalLines],
                               record.flags[PopupWhenConnected], record.transparentLevel, record.refreshRate,
                               record.colors[ReceiveBarEnd], record.colors[SendBackground]}),
        std::vector<uint32_t>({1, 0, 1, 1, 70, 500, 0x0000FF, 0x111111}));
}

}  // namespace
