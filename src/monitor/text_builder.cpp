#include "monitor/text_builder.h"

TextBuilder StartText(Char16* text, size_t size)
{
    text[0] = 0;
    return TextBuilder{text, size, 0};
}

void PutChar(TextBuilder* builder, Char16 c)
{
    if (builder->length + 1 >= builder->size)
        return;
    builder->text[builder->length++] = c;
    builder->text[builder->length] = 0;
}

void PutText(TextBuilder* builder, const Char16* piece)
{
    for (; *piece; ++piece)
        PutChar(builder, *piece);
}

void PutDecimal(TextBuilder* builder, int32_t value, int minDigits)
{
    // 64 bits so that the most negative value has a magnitude.
    int64_t magnitude = value;
    if (magnitude < 0) {
        PutChar(builder, '-');
        magnitude = -magnitude;
    }
    Char16 digits[12];
    int count = 0;
    do {
        digits[count++] = Char16('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    for (int pad = count; pad < minDigits; ++pad)
        PutChar(builder, '0');
    while (count > 0)
        PutChar(builder, digits[--count]);
}
