// The texts drawn over a monitor's diagram, as plain text: the rate line of
// each part and the maximum-speed line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

const size_t DiagramTextSize = 64;

extern const Char16 NotConnectedText[];

// "Rcv: <current> /  <peak>", "Rcv: <current>" or "Rcv Peak: <peak>" (Snd
// for the send part); false, with an empty text, when neither is shown.
bool ComposeRateText(Char16* text, bool send, uint64_t current, uint64_t peak, bool showCurrent, bool showPeak,
                     bool inBytes);

// "MaxSpeed: <speed>", followed by " / <count>" unless there is exactly one
// connection; the speed is maxSpeed or the link speed, whichever is larger.
void ComposeMaxSpeedText(Char16* text, uint32_t maxSpeed, uint64_t linkSpeed, uint32_t connectionCount, bool inBytes);
