#include <gtest/gtest.h>

#include "stats/statistics_text.h"
#include "stats/status_text.h"

namespace {

// Sub-millisecond ticks are dropped, not rounded. A year before 1900 enters
// the calendar record as 0, year 1900; the other fields, the weekday and the
// milliseconds stay the date's own. A value the system will not convert
// leaves the buffer as it was.
TEST(StatisticsTexts, CountsDurationsAndDates)
{
    const std::tuple<uint64_t, bool, const Char16*> dates[] = {
        {133223943072500000ull, false, u"Saturday, March 04, 2023 09:05:07.250"},
        {94354847999990000ull, false, u"Sunday, December 31, 1900 23:59:59.999"},
        {133536384000000000ull, true, u"Thursday, February 29, 2024 00:00:00"},
        {0x8000000000000000ull, false, u"old"}};
    Char16 text[FieldTextCapacity > CountTextCapacity ? FieldTextCapacity : CountTextCapacity];
    // Larger counts and durations are the statistics window's end to end.
    FormatCount(1000, text);
    EXPECT_EQ(Text16(text), u"1,000");
    FormatTickDuration(2 * 864000000000ull - 1, text, false);
    EXPECT_EQ(Text16(text), u"1 day(s), 23:59:59.999");
    for (const auto& d : dates) {
        std::char_traits<Char16>::copy(text, u"old", 4);
        FormatFileTime(std::get<0>(d), text, FieldTextCapacity, std::get<1>(d));
        EXPECT_EQ(Text16(text), std::get<2>(d));
    }
}

Text16 Status(const EntryStatistics& e, bool linkInBytes = false, bool averageInBytes = false)
{
    Char16 link[FieldTextCapacity], average[FieldTextCapacity] = {'x', 0};
    FormatStatusText(link, average, e, linkInBytes, averageInBytes);
    return Text16(link) + u" | " + Text16(average);
}

// The rules in order; the plain texts and the average in bytes are the
// statistics window's end to end. An aggregate without a count is like any
// entry; removal wins over everything, its count-down shows below 100 s only.
TEST(StatisticsTexts, StatusRulesInOrder)
{
    EntryStatistics e = {};
    e.connected = 1, e.linkSpeed = 1000000, e.receiveRate = 2400000, e.sendRate = 12345;
    const EntryStatistics connected = e;
    EXPECT_EQ(Status(e, true, false), u"12.5 MByps | Rcv: 2.4 Mbps / Snd: 12.345 Kbps");
    // 10 Gbit/s: 1.41 Gbps if it wrapped in 32 bits.
    e.linkSpeed = 100000000;
    EXPECT_EQ(Status(e).substr(0, 7), u"10 Gbps");
    e.statusUnknown = 1;
    EXPECT_EQ(Status(e), u"*** Unknown Status *** | ");
    e.connected = 0;
    EXPECT_EQ(Status(e), u"*** Not connected *** | ");
    e.isAggregate = 1;
    EXPECT_EQ(Status(e), u"*** Not connected *** | ");
    e = connected;
    e.isAggregate = 1, e.aggregateCount = 3;
    EXPECT_EQ(Status(e), u"has 3 connection(s) | ");
    e.removalPending = 1, e.removalTime = 42 * 10000000ull + 9999999;
    EXPECT_EQ(Status(e), u"*** Not connected *** | Will be removed in 42 sec...");
    e.removalTime = 100 * 10000000ull;
    EXPECT_EQ(Status(e), u"*** Not connected *** | ");
}

}  // namespace
