#include <gtest/gtest.h>

#include "stats/statistics_text.h"
#include "stats/status_text.h"

namespace {

TEST(StatisticsTexts, CountsDurationsAndDates)
{
    const std::pair<uint64_t, const Char16*> counts[] = {
        {0, u"0"}, {1000, u"1,000"}, {4294967296ull, u"4,294,967,296"}, {UINT64_MAX, u"18,446,744,073,709,551,615"}};
    for (const auto& c : counts) {
        Char16 text[CountTextCapacity];
        FormatCount(c.first, text);
        EXPECT_EQ(Text16(text), c.second) << c.first;
    }
    const uint64_t Day = 864000000000ull;
    const struct {
        uint64_t ticks;
        bool hideMs;
        const Char16* text;
    } ticks[] = {{0, true, u"0 day(s), 00:00:00"},
                 {36610000000ull, false, u"0 day(s), 01:01:01.000"},
                 {100 * Day, false, u"100 day(s), 00:00:00.000"},
                 // Sub-millisecond ticks are dropped, not rounded.
                 {2 * Day - 1, false, u"1 day(s), 23:59:59.999"}};
    for (const auto& t : ticks) {
        Char16 text[FieldTextCapacity];
        FormatTickDuration(t.ticks, text, t.hideMs);
        EXPECT_EQ(Text16(text), t.text) << t.ticks;
    }
    const struct {
        uint64_t fileTime;
        bool hideMs;
        const Char16* text;
    } dates[] = {
        {133223943072500000ull, false, u"Saturday, March 04, 2023 09:05:07.250"},
        // A year before 1900 enters the calendar record as 0, year 1900; the
        // other fields, the weekday and the milliseconds stay the date's own.
        {94354847999990000ull, false, u"Sunday, December 31, 1900 23:59:59.999"},
        {94354848000000000ull, true, u"Monday, January 01, 1900 00:00:00"},
        {133536384000000000ull, true, u"Thursday, February 29, 2024 00:00:00"},
        // A value the system will not convert leaves the buffer as it was.
        {0x8000000000000000ull, false, u"old"},
    };
    for (const auto& d : dates) {
        Char16 text[FieldTextCapacity] = {'o', 'l', 'd', 0};
        FormatFileTime(d.fileTime, text, FieldTextCapacity, d.hideMs);
        EXPECT_EQ(Text16(text), d.text) << d.fileTime;
    }
}

Text16 Status(const EntryStatistics& e, bool linkInBytes = false, bool averageInBytes = false)
{
    Char16 link[FieldTextCapacity], average[FieldTextCapacity] = {'x', 0};
    FormatStatusText(link, average, e, linkInBytes, averageInBytes);
    return Text16(link) + u" | " + Text16(average);
}

TEST(FormatStatusText, RulesInOrderAndSpeedOptionsOnTheirOwn)
{
    EntryStatistics e = {};
    e.connected = 1;
    e.linkSpeed = 1000000;
    e.receiveRate = 2400000;
    e.sendRate = 12345;
    const EntryStatistics connected = e;
    EXPECT_EQ(u"100 Mbps | Rcv: 2.4 Mbps / Snd: 12.345 Kbps", Status(e));
    EXPECT_EQ(u"12.5 MByps | Rcv: 2.4 Mbps / Snd: 12.345 Kbps", Status(e, true, false));
    EXPECT_EQ(u"100 Mbps | Rcv: 300 KByps / Snd: 1.543 KByps", Status(e, false, true));
    e.linkSpeed = 100000000;  // 10 Gbit/s: 1.41 Gbps if it wrapped in 32 bits
    EXPECT_EQ(u"10 Gbps", Status(e).substr(0, 7));
    e.statusUnknown = 1;
    EXPECT_EQ(u"*** Unknown Status *** | ", Status(e));
    e.connected = 0;
    EXPECT_EQ(u"*** Not connected *** | ", Status(e));
    // An aggregate with a count wins over the connection state; with none it
    // is treated like any entry.
    e.isAggregate = 1;
    e.aggregateCount = 3;
    EXPECT_EQ(u"has 3 connection(s) | ", Status(e));
    e.aggregateCount = 0;
    EXPECT_EQ(u"*** Not connected *** | ", Status(e));
    // Removal wins over everything; the count-down shows below 100 s only.
    e = connected;
    e.isAggregate = 1;
    e.aggregateCount = 3;
    e.removalPending = 1;
    e.removalTime = 42 * 10000000ull + 9999999;
    EXPECT_EQ(u"*** Not connected *** | Will be removed in 42 sec...", Status(e));
    e.removalTime = 100 * 10000000ull;
    EXPECT_EQ(u"*** Not connected *** | ", Status(e));
}

}  // namespace
