// Bounded text assembly for the short texts of the monitor windows. Every
// call leaves the text NUL-terminated; what does not fit is cut off.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

struct TextBuilder {
    Char16* text;
    size_t size;  // characters, the NUL included
    size_t length;
};

// size must be at least 1.
TextBuilder StartText(Char16* text, size_t size);
void PutText(TextBuilder* builder, const Char16* piece);
void PutChar(TextBuilder* builder, Char16 c);
// "%d", or "%0Nd" with minDigits N.
void PutDecimal(TextBuilder* builder, int32_t value, int minDigits);
