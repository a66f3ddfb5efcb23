#include <gtest/gtest.h>

#include <string>

#include "monitor/speed_format.h"

namespace {

std::string Narrow(const Char16* text)
{
    std::string s;
    for (; *text; ++text)
        s += char(*text);
    return s;
}

std::string Speed(uint64_t rate, bool inBytes = false)
{
    Char16 text[SpeedTextSize];
    FormatSpeed(rate, text, inBytes);
    return Narrow(text);
}

std::string Duration(uint64_t ticks)
{
    Char16 text[DurationTextSize];
    FormatDuration(ticks, text);
    return Narrow(text);
}

const uint64_t Second = 10000000;

TEST(FormatSpeed, EachRangeStartsAndEndsWhereItShould)
{
    EXPECT_EQ(Speed(0), "0 bps");
    EXPECT_EQ(Speed(999), "999 bps");
    EXPECT_EQ(Speed(1000), "1 Kbps");
    EXPECT_EQ(Speed(999999), "999.999 Kbps");
    EXPECT_EQ(Speed(1000000), "1 Mbps");
    EXPECT_EQ(Speed(999999999), "999.999 Mbps");
    EXPECT_EQ(Speed(1000000000), "1 Gbps");
    EXPECT_EQ(Speed(2500000000u), "2.5 Gbps");
}

TEST(FormatSpeed, FractionKeepsLeadingZerosAndTruncates)
{
    EXPECT_EQ(Speed(1500), "1.5 Kbps");
    EXPECT_EQ(Speed(1050), "1.05 Kbps");
    EXPECT_EQ(Speed(1005), "1.005 Kbps");
    EXPECT_EQ(Speed(1001), "1.001 Kbps");
    EXPECT_EQ(Speed(1120), "1.12 Kbps");
    EXPECT_EQ(Speed(1234567), "1.234 Mbps");
    EXPECT_EQ(Speed(1000999), "1 Mbps");  // the fraction counts whole K only
}

TEST(FormatSpeed, BytesAreBitsShiftedByThree)
{
    EXPECT_EQ(Speed(0, true), "0 Byps");
    EXPECT_EQ(Speed(7, true), "0 Byps");
    EXPECT_EQ(Speed(8000, true), "1 KByps");
    EXPECT_EQ(Speed(12345, true), "1.543 KByps");
    EXPECT_EQ(Speed(96000000, true), "12 MByps");
    EXPECT_EQ(Speed(uint64_t(1) << 32, true), "536.87 MByps");
}

TEST(FormatSpeed, SixtyFourBitRates)
{
    EXPECT_EQ(Speed(uint64_t(1) << 32), "4.294 Gbps");
    EXPECT_EQ(Speed((uint64_t(1) << 32) + 1), "4.294 Gbps");
    EXPECT_EQ(Speed(uint64_t(1) << 35, true), "4.294 GByps");
    EXPECT_EQ(Speed(uint64_t(2147483647) * 1000000000), "2147483647 Gbps");
    // Past 2^31 G the whole part wraps as a signed 32-bit number; the text
    // still fits its 21 characters.
    EXPECT_EQ(Speed(uint64_t(2147483648) * 1000000000 + 999000000, true), "268435456.124 GByps");
    EXPECT_EQ(Speed(uint64_t(2147483648) * 1000000000 + 999000000), "-2147483648.999 Gbps");
    EXPECT_EQ(Speed(UINT64_MAX), "1266874889.709 Gbps");
}

TEST(FormatDuration, ShortestFormThatHoldsTheValue)
{
    EXPECT_EQ(Duration(0), "00:00");
    EXPECT_EQ(Duration(7 * Second), "00:07");
    EXPECT_EQ(Duration(599 * Second / 10), "00:59");
    EXPECT_EQ(Duration(3599 * Second + Second - 1), "59:59");
    EXPECT_EQ(Duration(3600 * Second), "01:00:00");
    EXPECT_EQ(Duration((86400 - 1) * Second), "23:59:59");
    EXPECT_EQ(Duration(86400 * Second), "1.00:00:00");
    EXPECT_EQ(Duration((86400 + 2 * 3600 + 3 * 60 + 4) * Second), "1.02:03:04");
    EXPECT_EQ(Duration(100 * 86400 * Second), "100.00:00:00");
    EXPECT_EQ(Duration(UINT64_MAX), "21350398.05:36:10");
}

}  // namespace
