#include <gtest/gtest.h>

#include <string>

#include "monitor/speed_format.h"

namespace {

std::string Narrow(const Char16* text)
{
    return std::string(text, text + std::char_traits<Char16>::length(text));
}

const uint64_t G = 1000000000, Second = 10000000, Day = 86400 * Second;

TEST(FormatSpeed, RangesFractionsBytesAndSixtyFourBitRates)
{
    const struct {
        uint64_t rate;
        bool inBytes;
        const char* text;
    } rows[] = {
        {0, false, "0 bps"},
        {999, false, "999 bps"},
        {1000, false, "1 Kbps"},
        {999999, false, "999.999 Kbps"},
        {1000000, false, "1 Mbps"},
        {999999999, false, "999.999 Mbps"},
        {1000000000, false, "1 Gbps"},
        {2500000000u, false, "2.5 Gbps"},
        // The fraction keeps its leading zeros, truncates and counts whole K only.
        {1050, false, "1.05 Kbps"},
        {1005, false, "1.005 Kbps"},
        {1234567, false, "1.234 Mbps"},
        {1000999, false, "1 Mbps"},
        {7, true, "0 Byps"},
        {8000, true, "1 KByps"},
        {12345, true, "1.543 KByps"},
        {uint64_t(1) << 32, true, "536.87 MByps"},
        {(uint64_t(1) << 32) + 1, false, "4.294 Gbps"},
        {uint64_t(1) << 35, true, "4.294 GByps"},
        {2147483647 * G, false, "2147483647 Gbps"},
        // Past 2^31 G the whole part wraps as a signed 32-bit number; the
        // text still fits its 21 characters.
        {2147483648 * G + 999000000, true, "268435456.124 GByps"},
        {2147483648 * G + 999000000, false, "-2147483648.999 Gbps"},
        {UINT64_MAX, false, "1266874889.709 Gbps"},
    };
    for (const auto& r : rows) {
        Char16 text[SpeedTextSize];
        FormatSpeed(r.rate, text, r.inBytes);
        EXPECT_EQ(Narrow(text), r.text) << r.rate;
    }
}

TEST(FormatDuration, ShortestFormThatHoldsTheValue)
{
    const std::pair<uint64_t, const char*> rows[] = {
        {0, "00:00"},
        {599 * Second / 10, "00:59"},
        {3600 * Second - 1, "59:59"},
        {3600 * Second, "01:00:00"},
        {Day - Second, "23:59:59"},
        {Day, "1.00:00:00"},
        {Day + (2 * 3600 + 3 * 60 + 4) * Second, "1.02:03:04"},
        {100 * Day, "100.00:00:00"},
        {UINT64_MAX, "21350398.05:36:10"},
    };
    for (const auto& r : rows) {
        Char16 text[DurationTextSize];
        FormatDuration(r.first, text);
        EXPECT_EQ(Narrow(text), r.second) << r.first;
    }
}

}  // namespace
