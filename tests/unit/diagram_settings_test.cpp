#include <gtest/gtest.h>

#include <string>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_texts.h"

namespace {

std::string Narrow(const Char16* text)
{
    return std::string(text, text + std::char_traits<Char16>::length(text));
}

TEST(DiagramTexts, RateAndMaxSpeedLines)
{
    const struct {
        bool send;
        uint64_t current, peak;
        bool showCurrent, showPeak, inBytes;
        std::string text;
    } rows[] = {
        {false, 1500, 12000, true, true, false, "Rcv: 1.5 Kbps /  12 Kbps"},
        {false, 1500, 12000, true, true, true, "Rcv: 187 Byps /  1.5 KByps"},
        {true, 1500, 12000, true, false, false, "Snd: 1.5 Kbps"},
        {true, 1500, 12000, false, true, false, "Snd Peak: 12 Kbps"},
        {false, 1500, 12000, false, false, false, ""},
        {true, UINT64_MAX, UINT64_MAX, true, true, true, "Snd: -1989124287.213 GByps /  -1989124287.213 GByps"},
    };
    for (const auto& r : rows) {
        Char16 text[DiagramTextSize];
        EXPECT_EQ(ComposeRateText(text, r.send, r.current, r.peak, r.showCurrent, r.showPeak, r.inBytes),
                  !r.text.empty());
        EXPECT_EQ(Narrow(text), r.text);
    }
    // The connection count shows unless it is one.
    const struct {
        uint32_t speed, connections;
        bool inBytes;
        std::string text;
    } lines[] = {{100000000, 1, false, "MaxSpeed: 100 Mbps"},
                 {100000000, 2, false, "MaxSpeed: 100 Mbps / 2"},
                 {100000000, 3, true, "MaxSpeed: 12.5 MByps / 3"},
                 {0, 4294967295u, false, "MaxSpeed: 0 bps / -1"}};
    for (const auto& l : lines) {
        Char16 text[DiagramTextSize];
        ComposeMaxSpeedText(text, l.speed, l.connections, l.inBytes);
        EXPECT_EQ(Narrow(text), l.text);
    }
}

TEST(DiagramSettings, ColoursBecomePixelsSlotBySlot)
{
    MonitorSettings s;
    SetMonitorDefaults(&s);
    for (int slot = 0; slot < MonitorColorCount; ++slot)
        s.colors[slot] = 0x00010000u * uint32_t(slot + 1) + 0xA0;  // blue: slot + 1, red: 0xA0
    s.flags[EnableHorizontalLines] = 0;
    s.flags[EnableVerticalLines] = 1;
    MonitorDiagram d = {};
    TakeDiagramSettings(s, &d);
    const uint32_t pixels[] = {d.receive.background,
                               d.receive.horizontalLineColor,
                               d.receive.verticalLineColor,
                               d.receive.barStart,
                               d.receive.barEnd,
                               d.receive.barMiddle,
                               d.send.background};
    for (int slot = 0; slot < 7; ++slot)
        EXPECT_EQ(pixels[slot], 0x00A00000u + uint32_t(slot + 1)) << slot;
    EXPECT_EQ(d.send.barMiddle, 0x00A0000Cu);
    // Text and pen colours stay COLORREF.
    EXPECT_EQ(d.timeArrowColor, s.colors[TimeArrow]);
    EXPECT_EQ(d.send.notActiveTextColor, s.colors[SendNotActiveText]);
    EXPECT_FALSE(d.receive.horizontalLines);
    EXPECT_TRUE(d.send.verticalLines);
}

TEST(DiagramSettings, LayeredAlphaAndTheDoubleClickFlip)
{
    EXPECT_EQ(LayeredAlpha(30), 178);
    EXPECT_EQ(LayeredAlpha(100), 12);  // faintly visible
    EXPECT_EQ(LayeredAlpha(1), 252);
    // The flip lasts until the stored value is applied again, and ignores it.
    bool toggle = false, hidden = false;
    const struct {
        bool flip, stored;
        CaptionChange change;
    } steps[] = {{false, false, CaptionKept},
                 {true, false, CaptionRemoved},
                 {false, false, CaptionAdded},
                 {false, true, CaptionRemoved},
                 {true, true, CaptionAdded}};
    for (const auto& s : steps) {
        toggle = s.flip;
        EXPECT_EQ(DecideCaption(&toggle, &hidden, s.stored), s.change);
        EXPECT_FALSE(toggle);
        EXPECT_EQ(hidden, s.change == CaptionRemoved);
    }
}

}  // namespace
