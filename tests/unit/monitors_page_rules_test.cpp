#include <gtest/gtest.h>

#include "monitor/appearance_rules.h"
#include "prefs/monitors_page_rules.h"

namespace {

Text16 T(const std::u16string& s)
{
    return Text16(s.begin(), s.end());
}

MonitorSettings Monitor(uint32_t transparency, uint32_t refresh)
{
    MonitorSettings settings = {};
    SetMonitorDefaults(&settings);
    settings.transparentLevel = transparency;
    settings.refreshRate = refresh;
    return settings;
}

struct TwoMonitors : ::testing::Test {
    MonitorSettings a = Monitor(30, 2000), b = Monitor(51, 4000);
    MonitorSelectionRecord selection;
    void SetUp() override
    {
        ClearSelection(&selection);
        a.flags[PopupWhenConnected] = 1;
        a.colors[ReceiveBackground] = 0x123456;
        AddToSelection(&selection, &a);
        AddToSelection(&selection, &b);
    }
};

TEST_F(TwoMonitors, ShowAverageAndLimitedRefreshRate)
{
    EXPECT_EQ(selection.chain, &b);
    EXPECT_EQ(b.next, &a);
    EXPECT_EQ(SelectionTransparency(selection), 40u);
    EXPECT_EQ(SelectionRefreshRate(selection), 1000u);
    EXPECT_EQ(FormatInterval(SelectionRefreshRate(selection)), T(u"1 sec"));
}

TEST_F(TwoMonitors, FlagTheyDisagreeOnIsMixedAndCyclesThroughOnAndOff)
{
    EXPECT_EQ(FlagTriState(selection, PopupWhenConnected), TriMixed);
    EXPECT_EQ(FlagTriState(selection, ShowWindowOnTop), TriOn);
    EXPECT_EQ(FlagTriState(selection, HideWindowTitle), TriOff);
    TriState state = TriMixed;
    TriState seen[4];
    for (TriState& next : seen)
        next = state = NextFlagImage(selection, PopupWhenConnected, state);
    EXPECT_EQ(seen[0], TriOn);
    EXPECT_EQ(seen[1], TriOff);
    EXPECT_EQ(seen[2], TriMixed);
    EXPECT_EQ(seen[3], TriOn);
    // An agreed flag never becomes mixed.
    EXPECT_EQ(NextFlagImage(selection, HideWindowTitle, TriOff), TriOn);
    EXPECT_EQ(NextFlagImage(selection, HideWindowTitle, TriOn), TriOff);
}

TEST_F(TwoMonitors, ColoursDifferUntilChosenAndOneMonitorShowsItsOwn)
{
    EXPECT_FALSE(SlotHasColor(selection, ReceiveBackground));
    EXPECT_EQ(InitialDialogColor(selection, ReceiveBackground), 0u);
    selection.ColorModified[SendBarEnd] = 1;
    selection.EditColors[SendBarEnd] = 0xABCDEF;
    EXPECT_EQ(InitialDialogColor(selection, SendBarEnd), 0xABCDEFu);
    EXPECT_FALSE(SlotHasColor(selection, MonitorColorCount));

    // A selection change drops the edit; with one monitor left its colours show.
    RemoveFromSelection(&selection, &b);
    EXPECT_EQ(selection.ColorModified[SendBarEnd], 0);
    EXPECT_TRUE(SlotHasColor(selection, ReceiveBackground));
    EXPECT_EQ(InitialDialogColor(selection, ReceiveBackground), 0x123456u);
    EXPECT_EQ(SelectionTransparency(selection), 30u);
    EXPECT_EQ(FlagTriState(selection, PopupWhenConnected), TriOn);
}

TEST_F(TwoMonitors, RemovingNeverGoesBelowZeroAndIgnoresStrangers)
{
    MonitorSettings stranger = Monitor(99, 100);
    stranger.flags[PopupWhenConnected] = 1;
    RemoveFromSelection(&selection, &stranger);
    EXPECT_EQ(selection.SelectedCount, 2u);
    EXPECT_EQ(selection.FlagCount[PopupWhenConnected], 1u);
    RemoveFromSelection(&selection, &a);
    RemoveFromSelection(&selection, &b);
    RemoveFromSelection(&selection, &b);
    EXPECT_EQ(selection.SelectedCount, 0u);
    EXPECT_EQ(selection.chain, nullptr);
    EXPECT_EQ(selection.TransparencySum, 0u);
    EXPECT_EQ(SelectionTransparency(selection), 0u);
    EXPECT_EQ(SelectionRefreshRate(selection), 0u);
    EXPECT_EQ(FlagTriState(selection, ShowWindowOnTop), TriOff);
}

TEST(MonitorSelection, StoredValuesOutOfRangeAreLimited)
{
    MonitorSettings odd = Monitor(250, 20);
    MonitorSelectionRecord selection;
    ClearSelection(&selection);
    AddToSelection(&selection, &odd);
    EXPECT_EQ(SelectionTransparency(selection), 100u);
    EXPECT_EQ(SelectionRefreshRate(selection), 100u);
}

TEST(MonitorSelection, HugeStoredValuesDoNotWrapTheSums)
{
    // The store keeps what the user stored; the page averages
    // the stored values and then limits the result, so two
    // levels of 2^31 must not wrap the sum to 0.
    MonitorSettings a = Monitor(0x80000000u, 0xFFFFFFFFu), b = Monitor(0x80000000u, 0xFFFFFFFFu);
    MonitorSelectionRecord selection;
    ClearSelection(&selection);
    AddToSelection(&selection, &a);
    AddToSelection(&selection, &b);
    EXPECT_EQ(SelectionTransparency(selection), 100u);
    EXPECT_EQ(SelectionRefreshRate(selection), 1000u);
    MonitorSettings c = Monitor(0xFFFFFFFFu, 0);
    AddToSelection(&selection, &c);
    RemoveFromSelection(&selection, &a);
    RemoveFromSelection(&selection, &b);
    EXPECT_EQ(SelectionTransparency(selection), 100u);
    EXPECT_EQ(SelectionRefreshRate(selection), 100u);
    // The average of what is stored, limited afterwards: 250 and 0 give 100.
    MonitorSettings high = Monitor(250, 1000), low = Monitor(0, 1000);
    ClearSelection(&selection);
    AddToSelection(&selection, &high);
    AddToSelection(&selection, &low);
    EXPECT_EQ(SelectionTransparency(selection), 100u);
    // Where the window applies them, stored values are clamped.
    EXPECT_EQ(AppliedTransparentLevel(101), 100u);
    EXPECT_EQ(LayeredAlpha(0xFFFFFFFFu), LayeredAlpha(100));
}

TEST(MonitorsPageTexts, IntervalsAndLabels)
{
    EXPECT_EQ(FormatInterval(0), T(u"0 sec"));
    EXPECT_EQ(FormatInterval(100), T(u"100 msec"));
    EXPECT_EQ(FormatInterval(999), T(u"999 msec"));
    EXPECT_EQ(FormatInterval(1500), T(u"1 sec"));
    Text16 percent = T(u"Window transparent level: %d%%");
    EXPECT_EQ(FillLabel(percent.c_str(), DecimalText(40), false), T(u"Window transparent level: 40%"));
    EXPECT_EQ(FillLabel(percent.c_str(), DecimalText(0), true), T(u"Window transparent level: 0%*"));
    Text16 rate = T(u"Diagram refresh rate: %s");
    EXPECT_EQ(FillLabel(rate.c_str(), FormatInterval(100), true), T(u"Diagram refresh rate: 100 msec*"));
    // A pattern from a damaged string table is shown as it stands.
    Text16 odd = T(u"%x %d %d %");
    EXPECT_EQ(FillLabel(odd.c_str(), T(u"7"), false), T(u"%x 7 %d %"));
}

TEST(MonitorsPageColours, ChoosingTheShownColourIsNoChangeUnlessBlack)
{
    EXPECT_FALSE(ColorChoiceIsChange(0x00FF00, 0x00FF00));
    EXPECT_TRUE(ColorChoiceIsChange(0x00FF00, 0x0000FF));
    EXPECT_TRUE(ColorChoiceIsChange(0, 0));
}

TEST(MonitorsPageApply, WritesOnlyWhatChanged)
{
    MonitorSettings record = Monitor(10, 500), other = Monitor(0, 1000);
    record.next = &other;
    record.flags[PopupWhenConnected] = 1;
    record.colors[SendBackground] = 0x111111;
    MonitorChanges changes = {};
    for (uint8_t& image : changes.flagImage)
        image = TriMixed;
    changes.flagImage[ShowWindowOnTop] = TriOff;
    changes.flagImage[EnableVerticalLines] = TriOn;
    changes.transparency = 70;
    changes.transparencyModified = 1;
    changes.refreshRate = 300;  // not modified: the record keeps its own
    changes.editColors[ReceiveBarEnd] = 0x0000FF;
    changes.colorModified[ReceiveBarEnd] = 1;
    changes.editColors[SendBackground] = 0x222222;  // not modified
    ApplyChangesToRecord(changes, &record);
    EXPECT_EQ(record.next, nullptr);
    EXPECT_EQ(record.flags[ShowWindowOnTop], 0u);
    EXPECT_EQ(record.flags[EnableVerticalLines], 1u);
    EXPECT_EQ(record.flags[PopupWhenConnected], 1u);
    EXPECT_EQ(record.flags[EnableTimeArrow], 1u);
    EXPECT_EQ(record.transparentLevel, 70u);
    EXPECT_EQ(record.refreshRate, 500u);
    EXPECT_EQ(record.colors[ReceiveBarEnd], 0x0000FFu);
    EXPECT_EQ(record.colors[SendBackground], 0x111111u);
}

}  // namespace
