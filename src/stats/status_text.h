// The two texts of the chosen connection's state: "Current Link Speed:" and
// "Average Speed (1 Sec):".
#pragma once

#include <cstdint>

#include "core/text16.h"
#include "stats/statistics_wire.h"

// Both buffers hold FieldTextCapacity characters. linkInBytes is the
// window's option itself, averageInBytes its in-use copy.
void FormatStatusText(Char16* linkText, Char16* averageText, const EntryStatistics& entry, bool linkInBytes,
                      bool averageInBytes);
