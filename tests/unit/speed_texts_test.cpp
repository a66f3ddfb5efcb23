// Speeds, durations and the lines painted over a monitor's diagram.
#include <gtest/gtest.h>

#include <string>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_texts.h"
#include "monitor/speed_format.h"

namespace {

const uint64_t G = 1000000000, Second = 10000000, Day = 86400 * Second;

// The fraction keeps its leading zeros, truncates and counts whole K only.
// Past 2^31 G the whole part wraps as a signed 32-bit number; the text still
// fits its 21 characters.
TEST(SpeedTexts, RangesFractionsBytesAndDurations)
{
    const std::tuple<uint64_t, bool, const char16_t*> speeds[] = {
        {999, false, u"999 bps"},
        {1000, false, u"1 Kbps"},
        {999999, false, u"999.999 Kbps"},
        {1005, false, u"1.005 Kbps"},
        {1000999, false, u"1 Mbps"},
        {12345, true, u"1.543 KByps"},
        {uint64_t(1) << 32, true, u"536.87 MByps"},
        {2147483648 * G + 999000000, false, u"-2147483648.999 Gbps"},
        {UINT64_MAX, false, u"1266874889.709 Gbps"}};
    Char16 text[SpeedTextSize > DurationTextSize ? SpeedTextSize : DurationTextSize];
    for (const auto& s : speeds) {
        FormatSpeed(std::get<0>(s), text, std::get<1>(s));
        EXPECT_EQ(Text16(text), std::get<2>(s));
    }
    // The shortest form that holds the value.
    const std::pair<uint64_t, const char16_t*> durations[] = {{3600 * Second - 1, u"59:59"},
                                                              {3600 * Second, u"01:00:00"},
                                                              {Day, u"1.00:00:00"},
                                                              {Day + (2 * 3600 + 3 * 60 + 4) * Second, u"1.02:03:04"},
                                                              {UINT64_MAX, u"21350398.05:36:10"}};
    for (const auto& d : durations) {
        FormatDuration(d.first, text);
        EXPECT_EQ(Text16(text), d.second);
    }
}

// The connection count shows unless it is one; the larger of the two speeds
// shows. A 10 Gbit/s link: the colour scale stays held to 32 bits, the text
// shows the link; the rates follow the hardware-headers choice.
TEST(SpeedTexts, DiagramLines)
{
    const std::tuple<bool, uint64_t, bool, bool, bool, std::u16string> rates[] = {
        {false, 1500, true, true, false, u"Rcv: 1.5 Kbps /  12 Kbps"},
        {true, 1500, true, false, false, u"Snd: 1.5 Kbps"},
        {true, 1500, false, true, false, u"Snd Peak: 12 Kbps"},
        {false, 1500, false, false, false, u""},
        {true, UINT64_MAX, true, true, true, u"Snd: -1989124287.213 GByps /  -1989124287.213 GByps"}};
    Char16 text[DiagramTextSize];
    for (const auto& r : rates) {
        const uint64_t current = std::get<1>(r), peak = current == 1500 ? 12000 : current;
        EXPECT_EQ(ComposeRateText(text, std::get<0>(r), current, peak, std::get<2>(r), std::get<3>(r), std::get<4>(r)),
                  !std::get<5>(r).empty());
        EXPECT_EQ(Text16(text), std::get<5>(r));
    }
    const std::tuple<uint32_t, uint64_t, uint32_t, bool, std::u16string> lines[] = {
        {100000000, 0, 1, false, u"MaxSpeed: 100 Mbps"},
        {100000000, 0, 3, true, u"MaxSpeed: 12.5 MByps / 3"},
        {0, 0, 4294967295u, false, u"MaxSpeed: 0 bps / -1"}};
    for (const auto& l : lines) {
        ComposeMaxSpeedText(text, std::get<0>(l), std::get<1>(l), std::get<2>(l), std::get<3>(l));
        EXPECT_EQ(Text16(text), std::get<4>(l));
    }

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
