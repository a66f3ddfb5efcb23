// Rate and elapsed-time texts shared by the monitor windows and the
// statistics window. Integer arithmetic only, and every division truncates:
// a rate is never shown higher than it was.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

const size_t SpeedTextSize = 22;     // "-2147483648.999 GByps" and the NUL
const size_t DurationTextSize = 21;  // "-2147483648.23:59:59" and the NUL

// rate in bits per second, shown with a decimal prefix (steps of 1000) in
// bits or, with inBytes, in bytes per second. text holds SpeedTextSize.
void FormatSpeed(uint64_t rate, Char16* text, bool inBytes);

// ticks of 100 ns as "00:07", "01:00:00" or "2.03:04:05". text holds
// DurationTextSize.
void FormatDuration(uint64_t ticks, Char16* text);
