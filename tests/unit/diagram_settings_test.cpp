#include <gtest/gtest.h>

#include <string>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_texts.h"

namespace {

std::string Narrow(const Char16* text)
{
    std::string s;
    for (; *text; ++text)
        s += char(*text);
    return s;
}

std::string Rate(bool send, uint64_t current, uint64_t peak, bool showCurrent, bool showPeak, bool inBytes)
{
    Char16 text[DiagramTextSize];
    bool shown = ComposeRateText(text, send, current, peak, showCurrent, showPeak, inBytes);
    EXPECT_EQ(shown, text[0] != 0);
    return Narrow(text);
}

std::string MaxSpeed(uint32_t speed, uint32_t connections, bool inBytes = false)
{
    Char16 text[DiagramTextSize];
    ComposeMaxSpeedText(text, speed, connections, inBytes);
    return Narrow(text);
}

TEST(DiagramTexts, RateLineForms)
{
    EXPECT_EQ(Rate(false, 1500, 12000, true, true, false), "Rcv: 1.5 Kbps /  12 Kbps");
    EXPECT_EQ(Rate(false, 1500, 12000, true, true, true), "Rcv: 187 Byps /  1.5 KByps");
    EXPECT_EQ(Rate(true, 1500, 12000, true, false, false), "Snd: 1.5 Kbps");
    EXPECT_EQ(Rate(true, 1500, 12000, false, true, false), "Snd Peak: 12 Kbps");
    EXPECT_EQ(Rate(false, 1500, 12000, false, false, false), "");
    // The longest speeds still fit.
    EXPECT_EQ(Rate(true, UINT64_MAX, UINT64_MAX, true, true, true).size(), 5 + 21 + 4 + 21u);
}

TEST(DiagramTexts, ConnectionCountShowsUnlessOne)
{
    EXPECT_EQ(MaxSpeed(100000000, 1), "MaxSpeed: 100 Mbps");
    EXPECT_EQ(MaxSpeed(100000000, 2), "MaxSpeed: 100 Mbps / 2");
    EXPECT_EQ(MaxSpeed(100000000, 3, true), "MaxSpeed: 12.5 MByps / 3");
    EXPECT_EQ(MaxSpeed(0, 4294967295u), "MaxSpeed: 0 bps / -1");
}

TEST(DiagramSettings, ColoursBecomePixelsSlotBySlot)
{
    MonitorSettings s;
    SetMonitorDefaults(&s);
    for (int slot = 0; slot < MonitorColorCount; ++slot)
        s.colors[slot] = 0x00010000u * uint32_t(slot + 1) + 0xA0;  // blue: slot + 1, red: 0xA0
    s.flags[EnableHorizontalLines] = 0;
    s.flags[EnableVerticalLines] = 1;
    s.flags[EnableTimeArrow] = 0;
    MonitorDiagram d = {};
    TakeDiagramSettings(s, &d);
    auto pixel = [](int slot) { return 0x00A00000u + uint32_t(slot + 1); };
    EXPECT_EQ(d.receive.background, pixel(0));
    EXPECT_EQ(d.receive.horizontalLineColor, pixel(1));
    EXPECT_EQ(d.receive.verticalLineColor, pixel(2));
    EXPECT_EQ(d.receive.barStart, pixel(3));
    EXPECT_EQ(d.receive.barEnd, pixel(4));
    EXPECT_EQ(d.receive.barMiddle, pixel(5));
    EXPECT_EQ(d.send.background, pixel(6));
    EXPECT_EQ(d.send.barEnd, pixel(10));
    EXPECT_EQ(d.send.barMiddle, pixel(11));
    // Text and pen colours stay COLORREF.
    EXPECT_EQ(d.timeArrowColor, s.colors[TimeArrow]);
    EXPECT_EQ(d.send.peaksTextColor, s.colors[SendPeaksText]);
    EXPECT_EQ(d.receive.maxSpeedTextColor, s.colors[ReceiveMaxSpeedText]);
    EXPECT_EQ(d.send.notActiveTextColor, s.colors[SendNotActiveText]);
    EXPECT_FALSE(d.receive.horizontalLines);
    EXPECT_TRUE(d.send.verticalLines);
    EXPECT_FALSE(d.timeArrow);
    EXPECT_EQ(d.capacity, HistoryCapacity);
}

TEST(DiagramSettings, LayeredAlphaStaysFaintlyVisible)
{
    EXPECT_EQ(LayeredAlpha(30), 178);
    EXPECT_EQ(LayeredAlpha(50), 127);
    EXPECT_EQ(LayeredAlpha(100), 12);
    EXPECT_EQ(LayeredAlpha(1), 252);
}

TEST(DiagramSettings, DoubleClickFlipLastsUntilTheStoredValueIsApplied)
{
    bool toggle = false, hidden = false;
    EXPECT_EQ(DecideCaption(&toggle, &hidden, false), CaptionKept);
    toggle = true;  // double-click
    EXPECT_EQ(DecideCaption(&toggle, &hidden, false), CaptionRemoved);
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(toggle);
    // A later save with "HideWindowTitle" clear brings the caption back.
    EXPECT_EQ(DecideCaption(&toggle, &hidden, false), CaptionAdded);
    EXPECT_FALSE(hidden);
    EXPECT_EQ(DecideCaption(&toggle, &hidden, true), CaptionRemoved);
    toggle = true;  // the flip ignores the stored value
    EXPECT_EQ(DecideCaption(&toggle, &hidden, true), CaptionAdded);
    EXPECT_FALSE(hidden);
}

}  // namespace
