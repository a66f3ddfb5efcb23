#include <gtest/gtest.h>

#include <string>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_texts.h"

namespace {

TEST(DiagramTexts, RateAndMaxSpeedLines)
{
    const struct {
        bool send;
        uint64_t current, peak;
        bool showCurrent, showPeak, inBytes;
        std::u16string text;
    } rows[] = {
        {false, 1500, 12000, true, true, false, u"Rcv: 1.5 Kbps /  12 Kbps"},
        {false, 1500, 12000, true, true, true, u"Rcv: 187 Byps /  1.5 KByps"},
        {true, 1500, 12000, true, false, false, u"Snd: 1.5 Kbps"},
        {true, 1500, 12000, false, true, false, u"Snd Peak: 12 Kbps"},
        {false, 1500, 12000, false, false, false, u""},
        {true, UINT64_MAX, UINT64_MAX, true, true, true, u"Snd: -1989124287.213 GByps /  -1989124287.213 GByps"},
    };
    for (const auto& r : rows) {
        Char16 text[DiagramTextSize];
        EXPECT_EQ(ComposeRateText(text, r.send, r.current, r.peak, r.showCurrent, r.showPeak, r.inBytes),
                  !r.text.empty());
        EXPECT_EQ(Text16(text), r.text);
    }
    // The connection count shows unless it is one; the larger of the two speeds shows.
    const struct {
        uint32_t speed;
        uint64_t link;
        uint32_t connections;
        bool inBytes;
        std::u16string text;
    } lines[] = {{100000000, 0, 1, false, u"MaxSpeed: 100 Mbps"},
                 {100000000, 5000000, 2, false, u"MaxSpeed: 100 Mbps / 2"},
                 {100000000, 0, 3, true, u"MaxSpeed: 12.5 MByps / 3"},
                 {0, 0, 4294967295u, false, u"MaxSpeed: 0 bps / -1"}};
    for (const auto& l : lines) {
        Char16 text[DiagramTextSize];
        ComposeMaxSpeedText(text, l.speed, l.link, l.connections, l.inBytes);
        EXPECT_EQ(Text16(text), l.text);
    }
}

// A 10 Gbit/s link: the colour scale stays held to 32 bits, the text shows
// the link; the rates follow the hardware-headers choice.
TEST(DiagramTexts, SamplerCountersOfAFastLink)
{
    MonitorDiagram d = {};
    const InterfaceCountersView counters = {1000, 2000, 900, 1800, 0, 2, 100000000};
    uint32_t receive = 0, send = 0;
    TakeCounters(&d, counters, true, &receive, &send);
    EXPECT_TRUE(receive == 900 && send == 1800);
    TakeCounters(&d, counters, false, &receive, &send);
    EXPECT_TRUE(receive == 1000 && send == 2000);
    EXPECT_EQ(d.receive.maxSpeed & d.send.maxSpeed, 0xFFFFFFFFu);
    Char16 text[DiagramTextSize];
    ComposeMaxSpeedText(text, d.send.maxSpeed, d.linkSpeed, counters.connected, false);
    EXPECT_EQ(Text16(text), u"MaxSpeed: 10 Gbps / 2");
}

}  // namespace
