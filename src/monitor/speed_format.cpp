#include "monitor/speed_format.h"

#include "monitor/text_builder.h"

namespace {

struct SpeedRange {
    uint64_t unit;  // value of one whole
    const Char16* bitsName;
    const Char16* bytesName;
};

const SpeedRange Ranges[] = {
    {1, TEXT16("bps"), TEXT16("Byps")},
    {1000, TEXT16("Kbps"), TEXT16("KByps")},
    {1000000, TEXT16("Mbps"), TEXT16("MByps")},
    {1000000000, TEXT16("Gbps"), TEXT16("GByps")},
};

}  // namespace

void FormatSpeed(uint64_t rate, Char16* text, bool inBytes)
{
    uint64_t value = inBytes ? rate >> 3 : rate;
    int range = 0;
    while (range < 3 && value >= Ranges[range + 1].unit)
        ++range;
    const SpeedRange& r = Ranges[range];
    // The whole part is shown as a signed 32-bit number, as the texts have
    // always been; only 64-bit rates of 2^31 G and more can show that.
    int32_t whole = int32_t(uint32_t(value / r.unit));
    uint32_t fraction = range == 0 ? 0 : uint32_t(value % r.unit / (r.unit / 1000));

    TextBuilder b = StartText(text, SpeedTextSize);
    PutDecimal(&b, whole, 0);
    if (fraction != 0) {
        PutChar(&b, '.');
        // Leading zeros stay, trailing zeros go: 50 reads .05, 500 reads .5.
        for (uint32_t divisor = 100; divisor != 0; divisor /= 10) {
            PutChar(&b, Char16('0' + fraction / divisor));
            fraction %= divisor;
            if (fraction == 0)
                break;
        }
    }
    PutChar(&b, ' ');
    PutText(&b, inBytes ? r.bytesName : r.bitsName);
}

void FormatDuration(uint64_t ticks, Char16* text)
{
    const uint64_t second = 10000000, minute = 60 * second, hour = 60 * minute, day = 24 * hour;
    uint64_t days = ticks / day, rest = ticks % day;
    uint64_t hours = rest / hour;
    rest %= hour;
    uint64_t minutes = rest / minute;
    uint64_t seconds = rest % minute / second;

    TextBuilder b = StartText(text, DurationTextSize);
    if (days != 0) {
        PutDecimal(&b, int32_t(uint32_t(days)), 0);
        PutChar(&b, '.');
    }
    if (days != 0 || hours != 0) {
        PutDecimal(&b, int32_t(hours), 2);
        PutChar(&b, ':');
    }
    PutDecimal(&b, int32_t(minutes), 2);
    PutChar(&b, ':');
    PutDecimal(&b, int32_t(seconds), 2);
}
