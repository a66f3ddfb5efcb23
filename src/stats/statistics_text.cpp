#include "stats/statistics_text.h"

#include <cstdio>

static const uint64_t TicksPerMs = 10000;
static const uint64_t TicksPerSecond = 10000000;
static const uint64_t TicksPerMinute = 60 * TicksPerSecond;
static const uint64_t TicksPerHour = 60 * TicksPerMinute;
static const uint64_t TicksPerDay = 24 * TicksPerHour;

// Narrow formatting is enough for digits and English words; widening keeps
// the routines free of the platform's wide printf.
static size_t CopyNarrow(const char* narrow, Char16* text, size_t capacity)
{
    if (capacity == 0)
        return 0;
    size_t n = 0;
    for (; narrow[n] && n + 1 < capacity; ++n)
        text[n] = Char16(static_cast<unsigned char>(narrow[n]));
    text[n] = 0;
    return n;
}

void FormatTickDuration(uint64_t ticks, Char16* text, bool hideMs)
{
    uint64_t days = ticks / TicksPerDay;
    uint64_t r = ticks - days * TicksPerDay;
    uint64_t hours = r / TicksPerHour;
    r -= hours * TicksPerHour;
    uint64_t minutes = r / TicksPerMinute;
    r -= minutes * TicksPerMinute;
    uint64_t seconds = r / TicksPerSecond;
    r -= seconds * TicksPerSecond;
    uint64_t ms = r / TicksPerMs;
    char narrow[64];
    if (hideMs)
        std::snprintf(narrow, sizeof narrow, "%llu day(s), %02u:%02u:%02u", (unsigned long long)days, unsigned(hours),
                      unsigned(minutes), unsigned(seconds));
    else
        std::snprintf(narrow, sizeof narrow, "%llu day(s), %02u:%02u:%02u.%03u", (unsigned long long)days,
                      unsigned(hours), unsigned(minutes), unsigned(seconds), unsigned(ms));
    CopyNarrow(narrow, text, sizeof narrow);
}

static bool IsLeapYear(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

bool FileTimeToCalendar(uint64_t fileTime, CalendarTime* c)
{
    if (fileTime >> 63)
        return false;
    uint64_t days = fileTime / TicksPerDay;
    uint64_t r = fileTime % TicksPerDay;
    c->hour = unsigned(r / TicksPerHour);
    r %= TicksPerHour;
    c->minute = unsigned(r / TicksPerMinute);
    r %= TicksPerMinute;
    c->second = unsigned(r / TicksPerSecond);
    c->milliseconds = unsigned(r % TicksPerSecond / TicksPerMs);
    // 1601-01-01 was a Monday.
    c->dayOfWeek = unsigned((days + 1) % 7);
    unsigned year = 1601;
    // Whole 400-year cycles first, so the loop below stays short.
    const uint64_t daysPer400 = 146097;
    year += unsigned(days / daysPer400) * 400;
    days %= daysPer400;
    for (;;) {
        uint64_t inYear = IsLeapYear(year) ? 366 : 365;
        if (days < inYear)
            break;
        days -= inYear;
        ++year;
    }
    static const unsigned monthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    unsigned month = 0;
    for (; month < 11; ++month) {
        unsigned length = monthDays[month] + (month == 1 && IsLeapYear(year) ? 1 : 0);
        if (days < length)
            break;
        days -= length;
    }
    c->year = year;
    c->month = month + 1;
    c->day = unsigned(days) + 1;
    return true;
}

bool FormatFileTime(uint64_t localTime, Char16* text, size_t capacity, bool hideMs)
{
    CalendarTime c;
    if (!FileTimeToCalendar(localTime, &c))
        return false;
    static const char* const dayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    static const char* const monthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
    // The calendar record that wcsftime takes counts years from 1900 and
    // gets 0 for a year before it, so such a date shows
    // year 1900 with its own month, day and weekday.
    unsigned year = c.year < 1900 ? 1900 : c.year;
    // The runtime's long form in the "C" locale, which is the agent's.
    char narrow[96];
    int n = std::snprintf(narrow, sizeof narrow, "%s, %s %02u, %u %02u:%02u:%02u", dayNames[c.dayOfWeek],
                          monthNames[c.month - 1], c.day, year, c.hour, c.minute, c.second);
    if (!hideMs && n > 0 && size_t(n) < sizeof narrow)
        std::snprintf(narrow + n, sizeof narrow - size_t(n), ".%03u", c.milliseconds);
    CopyNarrow(narrow, text, capacity);
    return true;
}

void FormatCount(uint64_t value, Char16* text)
{
    size_t n = 0;
    bool started = false;
    uint64_t power = 10000000000000000000ull;  // 10^19
    for (int exponent = 19; exponent >= 1; --exponent, power /= 10) {
        uint64_t q = value / power;
        if (q != 0)
            started = true;
        if (started) {
            text[n++] = Char16('0' + q);
            value -= q * power;
            if (exponent % 3 == 0)
                text[n++] = Char16(',');
        }
    }
    text[n++] = Char16('0' + value);
    text[n] = 0;
}

void FormatBytesPackets(uint64_t bytes, uint64_t packets, Char16* text, size_t capacity)
{
    Char16 b[CountTextCapacity];
    Char16 p[CountTextCapacity];
    FormatCount(bytes, b);
    FormatCount(packets, p);
    Text16 joined = Text16(b) + TEXT16(" / ") + Text16(p);
    size_t n = joined.size() < capacity ? joined.size() : capacity - 1;
    joined.copy(text, n);
    text[n] = 0;
}
