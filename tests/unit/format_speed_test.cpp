#include <gtest/gtest.h>

#include <string>

#include "monitor/speed_format.h"

namespace {

const uint64_t G = 1000000000, Second = 10000000, Day = 86400 * Second;

TEST(FormatSpeed, RangesFractionsBytesAndSixtyFourBitRates)
{
    const struct {
        uint64_t rate;
        bool inBytes;
        const char16_t* text;
    } rows[] = {
        {0, false, u"0 bps"},
        {999, false, u"999 bps"},
        {1000, false, u"1 Kbps"},
        {999999, false, u"999.999 Kbps"},
        {1000000, false, u"1 Mbps"},
        {2500000000u, false, u"2.5 Gbps"},
        // The fraction keeps its leading zeros, truncates and counts whole K only.
        {1050, false, u"1.05 Kbps"},
        {1005, false, u"1.005 Kbps"},
        {1000999, false, u"1 Mbps"},
        {7, true, u"0 Byps"},
        {8000, true, u"1 KByps"},
        {12345, true, u"1.543 KByps"},
        {uint64_t(1) << 32, true, u"536.87 MByps"},
        {2147483647 * G, false, u"2147483647 Gbps"},
        // Past 2^31 G the whole part wraps as a signed 32-bit number; the
        // text still fits its 21 characters.
        {2147483648 * G + 999000000, true, u"268435456.124 GByps"},
        {2147483648 * G + 999000000, false, u"-2147483648.999 Gbps"},
        {UINT64_MAX, false, u"1266874889.709 Gbps"},
    };
    for (const auto& r : rows) {
        Char16 text[SpeedTextSize];
        FormatSpeed(r.rate, text, r.inBytes);
        EXPECT_EQ(Text16(text), r.text) << r.rate;
    }
}

TEST(FormatDuration, ShortestFormThatHoldsTheValue)
{
    const std::pair<uint64_t, const char16_t*> rows[] = {
        {0, u"00:00"},
        {599 * Second / 10, u"00:59"},
        {3600 * Second - 1, u"59:59"},
        {3600 * Second, u"01:00:00"},
        {Day, u"1.00:00:00"},
        {Day + (2 * 3600 + 3 * 60 + 4) * Second, u"1.02:03:04"},
        {UINT64_MAX, u"21350398.05:36:10"},
    };
    for (const auto& r : rows) {
        Char16 text[DurationTextSize];
        FormatDuration(r.first, text);
        EXPECT_EQ(Text16(text), r.second) << r.first;
    }
}

}  // namespace
