// Texts of the statistics window's value fields: summary times, dates and
// counts. The caller passes the in-use "hide milliseconds" option.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

const size_t FieldTextCapacity = 260;
const size_t CountTextCapacity = 27;  // 26 characters and the NUL

// "%d day(s), %02d:%02d:%02d.%03d", or without ".%03d" when hideMs.
void FormatTickDuration(uint64_t ticks, Char16* text, bool hideMs);

// A local-time FILETIME as the runtime's long date and time form, e.g.
// "Saturday, March 04, 2023 09:05:07.250". Writes nothing and returns false
// when the value is no calendar time (top bit set), as the system's
// conversion refuses those.
bool FormatFileTime(uint64_t localTime, Char16* text, size_t capacity, bool hideMs);

// Thousands separated by ",": 1234567 gives "1,234,567".
void FormatCount(uint64_t value, Char16* text);

// "<bytes> / <packets>", both through FormatCount.
void FormatBytesPackets(uint64_t bytes, uint64_t packets, Char16* text, size_t capacity);

// Calendar fields of a FILETIME, as the system converts them; false for a
// value with its top bit set.
struct CalendarTime {
    unsigned year, month, day, hour, minute, second, milliseconds;
    unsigned dayOfWeek;  // 0 Sunday
};
bool FileTimeToCalendar(uint64_t fileTime, CalendarTime* calendar);
