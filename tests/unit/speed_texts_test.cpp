// Speeds, durations and the lines painted over a monitor's diagram.
#include <gtest/gtest.h>

#include <string>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_texts.h"
#include "monitor/speed_format.h"

namespace {

const uint64_t G = 1000000000, Second = 10000000, Day = 86400 * Second;

struct Row {
    uint64_t value;
    bool bytes;
    const Char16* text;
};

// The fraction keeps its leading zeros, truncates and counts whole K only.
// Past 2^31 G the whole part wraps as a signed 32-bit number; the text still
// fits its 21 characters.
TEST(SpeedTexts, RangesFractionsBytesAndDurations)
{
    const Row speeds[] = {{999, 0, u"999 bps"},
                          {1000, 0, u"1 Kbps"},
                          {999999, 0, u"999.999 Kbps"},
                          {1005, 0, u"1.005 Kbps"},
                          {1000999, 0, u"1 Mbps"},
                          {12345, 1, u"1.543 KByps"},
                          {uint64_t(1) << 32, 1, u"536.87 MByps"},
                          {2147483648 * G + 999000000, 0, u"-2147483648.999 Gbps"},
                          {UINT64_MAX, 0, u"1266874889.709 Gbps"}};
    Char16 text[SpeedTextSize > DurationTextSize ? SpeedTextSize : DurationTextSize];
    for (const Row& s : speeds) {
        FormatSpeed(s.value, text, s.bytes);
        EXPECT_EQ(Text16(text), s.text);
    }
    // The shortest form that holds the value.
    const Row durations[] = {{3600 * Second - 1, 0, u"59:59"},
                             {3600 * Second, 0, u"01:00:00"},
                             {Day, 0, u"1.00:00:00"},
                             {UINT64_MAX, 0, u"21350398.05:36:10"}};
    for (const Row& d : durations) {
        FormatDuration(d.value, text);
        EXPECT_EQ(Text16(text), d.text);
    }
}

// The connection count shows unless it is one; the larger of the two speeds
// shows. A 10 Gbit/s link: the colour scale stays held to 32 bits, the text
// shows the link; the rates follow the hardware-headers choice.
TEST(SpeedTexts, DiagramLines)
{
    Char16 text[DiagramTextSize];
    // Send, current, peak, in bytes.
    EXPECT_TRUE(ComposeRateText(text, false, 1500, 12000, true, true, false));
    EXPECT_EQ(Text16(text), u"Rcv: 1.5 Kbps /  12 Kbps");
    ComposeRateText(text, true, 1500, 12000, false, true, false);
    EXPECT_EQ(Text16(text), u"Snd Peak: 12 Kbps");
    EXPECT_FALSE(ComposeRateText(text, false, 1500, 12000, false, false, false));
    ComposeRateText(text, true, UINT64_MAX, UINT64_MAX, true, false, true);
    EXPECT_EQ(Text16(text), u"Snd: -1989124287.213 GByps");
    ComposeMaxSpeedText(text, 100000000, 0, 1, false);
    EXPECT_EQ(Text16(text), u"MaxSpeed: 100 Mbps");
    ComposeMaxSpeedText(text, 0, 0, 4294967295u, true);
    EXPECT_EQ(Text16(text), u"MaxSpeed: 0 Byps / -1");

    MonitorDiagram d = {};
    const InterfaceCountersView counters = {1000, 2000, 900, 1800, 0, 2, 100000000};
    uint32_t receive = 0, send = 0;
    TakeCounters(&d, counters, true, &receive, &send);
    EXPECT_TRUE(receive == 900 && send == 1800);
    TakeCounters(&d, counters, false, &receive, &send);
    EXPECT_TRUE(receive == 1000 && send == 2000 && (d.receive.maxSpeed & d.send.maxSpeed) == 0xFFFFFFFFu);
    ComposeMaxSpeedText(text, d.send.maxSpeed, d.linkSpeed, counters.connected, false);
    EXPECT_EQ(Text16(text), u"MaxSpeed: 10 Gbps / 2");
}

}  // namespace
