#include <gtest/gtest.h>

#include "stats/statistics_text.h"
#include "stats/status_text.h"

namespace {

Text16 Count(uint64_t value)
{
    Char16 text[CountTextCapacity];
    FormatCount(value, text);
    return text;
}

Text16 Ticks(uint64_t ticks, bool hideMs)
{
    Char16 text[FieldTextCapacity];
    FormatTickDuration(ticks, text, hideMs);
    return text;
}

Text16 Date(uint64_t fileTime, bool hideMs)
{
    Char16 text[FieldTextCapacity] = {'o', 'l', 'd', 0};
    FormatFileTime(fileTime, text, FieldTextCapacity, hideMs);
    return text;
}

TEST(FormatCount, ThousandsSeparatedWithoutLeadingCommaOrZeros)
{
    EXPECT_EQ(TEXT16("0"), Count(0));
    EXPECT_EQ(TEXT16("100"), Count(100));
    EXPECT_EQ(TEXT16("999"), Count(999));
    EXPECT_EQ(TEXT16("1,000"), Count(1000));
    EXPECT_EQ(TEXT16("1,234"), Count(1234));
    EXPECT_EQ(TEXT16("1,000,000"), Count(1000000));
    EXPECT_EQ(TEXT16("4,294,967,296"), Count(4294967296ull));
    EXPECT_EQ(TEXT16("10,000,000,000,000,000,000"), Count(10000000000000000000ull));
    EXPECT_EQ(TEXT16("18,446,744,073,709,551,615"), Count(18446744073709551615ull));
    EXPECT_EQ(26u, Count(18446744073709551615ull).size());
}

TEST(FormatTickDuration, DaysAreUnboundedAndMillisecondsOptional)
{
    EXPECT_EQ(TEXT16("0 day(s), 00:00:00.000"), Ticks(0, false));
    EXPECT_EQ(TEXT16("0 day(s), 00:00:00"), Ticks(0, true));
    EXPECT_EQ(TEXT16("0 day(s), 01:01:01.000"), Ticks(36610000000ull, false));
    EXPECT_EQ(TEXT16("100 day(s), 00:00:00.000"), Ticks(100 * 864000000000ull, false));
    // Sub-millisecond ticks are dropped, not rounded.
    EXPECT_EQ(TEXT16("1 day(s), 23:59:59.999"), Ticks(2 * 864000000000ull - 1, false));
}

TEST(FormatFileTime, LongDateFormWithMilliseconds)
{
    // 2023-03-04 09:05:07.250, a Saturday.
    const uint64_t t = 133223943072500000ull;
    EXPECT_EQ(TEXT16("Saturday, March 04, 2023 09:05:07.250"), Date(t, false));
    EXPECT_EQ(TEXT16("Saturday, March 04, 2023 09:05:07"), Date(t, true));
    // A year before 1900 enters the calendar record as 0, year 1900; the
    // other fields, the weekday and the milliseconds stay the date's own.
    EXPECT_EQ(TEXT16("Monday, January 01, 1900 00:00:00.000"), Date(0, false));
    // 1899-12-31 23:59:59.999, a Sunday, and 1900-01-01, a Monday.
    EXPECT_EQ(TEXT16("Sunday, December 31, 1900 23:59:59.999"), Date(94354847999990000ull, false));
    EXPECT_EQ(TEXT16("Monday, January 01, 1900 00:00:00"), Date(94354848000000000ull, true));
    // 2024-02-29, a leap day.
    EXPECT_EQ(TEXT16("Thursday, February 29, 2024 00:00:00"), Date(133536384000000000ull, true));
    // A value the system will not convert leaves the buffer as it was.
    EXPECT_EQ(TEXT16("old"), Date(0x8000000000000000ull, false));
}

struct StatusTexts {
    Text16 link, average;
};

StatusTexts Status(const EntryStatistics& e, bool linkInBytes = false, bool averageInBytes = false)
{
    Char16 link[FieldTextCapacity], average[FieldTextCapacity] = {'x', 0};
    FormatStatusText(link, average, e, linkInBytes, averageInBytes);
    return {link, average};
}

EntryStatistics Connected()
{
    EntryStatistics e = {};
    e.connected = 1;
    e.linkSpeed = 1000000;
    e.receiveRate = 2400000;
    e.sendRate = 12345;
    return e;
}

TEST(FormatStatusText, RulesInOrder)
{
    EntryStatistics e = Connected();
    StatusTexts s = Status(e);
    EXPECT_EQ(TEXT16("100 Mbps"), s.link);
    EXPECT_EQ(TEXT16("Rcv: 2.4 Mbps / Snd: 12.345 Kbps"), s.average);

    e.statusUnknown = 1;
    s = Status(e);
    EXPECT_EQ(TEXT16("*** Unknown Status ***"), s.link);
    EXPECT_EQ(TEXT16(""), s.average);

    e.connected = 0;
    EXPECT_EQ(TEXT16("*** Not connected ***"), Status(e).link);

    // An aggregate with a count wins over the connection state ...
    e.isAggregate = 1;
    e.aggregateCount = 3;
    EXPECT_EQ(TEXT16("has 3 connection(s)"), Status(e).link);
    // ... but with none it is treated like any entry.
    e.aggregateCount = 0;
    EXPECT_EQ(TEXT16("*** Not connected ***"), Status(e).link);

    // Removal wins over everything; the count-down shows below 100 s only.
    e = Connected();
    e.isAggregate = 1;
    e.aggregateCount = 3;
    e.removalPending = 1;
    e.removalTime = 42 * 10000000ull + 9999999;
    s = Status(e);
    EXPECT_EQ(TEXT16("*** Not connected ***"), s.link);
    EXPECT_EQ(TEXT16("Will be removed in 42 sec..."), s.average);
    e.removalTime = 100 * 10000000ull;
    EXPECT_EQ(TEXT16(""), Status(e).average);
}

TEST(FormatStatusText, SpeedOptionsActIndependentlyAndLinkSpeedDoesNotWrap)
{
    EntryStatistics e = Connected();
    StatusTexts s = Status(e, true, false);
    EXPECT_EQ(TEXT16("12.5 MByps"), s.link);
    EXPECT_EQ(TEXT16("Rcv: 2.4 Mbps / Snd: 12.345 Kbps"), s.average);
    s = Status(e, false, true);
    EXPECT_EQ(TEXT16("100 Mbps"), s.link);
    EXPECT_EQ(TEXT16("Rcv: 300 KByps / Snd: 1.543 KByps"), s.average);
    e.linkSpeed = 100000000;  // 10 Gbit/s: wraps to 1.41 Gbps in 32 bits
    EXPECT_EQ(TEXT16("10 Gbps"), Status(e).link);
}

}  // namespace
