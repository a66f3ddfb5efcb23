#include "stats/status_text.h"

#include <cstdio>

#include "monitor/speed_format.h"
#include "stats/statistics_text.h"

static void SetNarrow(Char16* text, const char* narrow)
{
    size_t n = 0;
    for (; narrow[n] && n + 1 < FieldTextCapacity; ++n)
        text[n] = Char16(static_cast<unsigned char>(narrow[n]));
    text[n] = 0;
}

static void Append(Char16* text, const Char16* tail)
{
    size_t n = BoundedLength16(text, FieldTextCapacity);
    for (; *tail && n + 1 < FieldTextCapacity; ++tail)
        text[n++] = *tail;
    text[n] = 0;
}

void FormatStatusText(Char16* linkText, Char16* averageText, const EntryStatistics& entry, bool linkInBytes,
                      bool averageInBytes)
{
    averageText[0] = 0;
    char narrow[64];
    if (entry.removalPending) {
        uint64_t seconds = entry.removalTime / 10000000;
        if (seconds < 100) {
            std::snprintf(narrow, sizeof narrow, "Will be removed in %u sec...", unsigned(seconds));
            SetNarrow(averageText, narrow);
        }
        SetNarrow(linkText, "*** Not connected ***");
        return;
    }
    if (entry.isAggregate && entry.aggregateCount != 0) {
        std::snprintf(narrow, sizeof narrow, "has %u connection(s)", unsigned(entry.aggregateCount));
        SetNarrow(linkText, narrow);
        return;
    }
    if (!entry.connected) {
        SetNarrow(linkText, "*** Not connected ***");
        return;
    }
    if (entry.statusUnknown) {
        SetNarrow(linkText, "*** Unknown Status ***");
        return;
    }
    // Widened, so link speeds past 4 Gbit/s keep their value.
    FormatSpeed(uint64_t(entry.linkSpeed) * 100, linkText, linkInBytes);
    Char16 rate[SpeedTextSize];
    SetNarrow(averageText, "Rcv: ");
    FormatSpeed(entry.receiveRate, rate, averageInBytes);
    Append(averageText, rate);
    Append(averageText, TEXT16(" / Snd: "));
    FormatSpeed(entry.sendRate, rate, averageInBytes);
    Append(averageText, rate);
}
