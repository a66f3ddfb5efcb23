#include "core/text16.h"

size_t BoundedLength16(const Char16* text, size_t maxChars)
{
    size_t n = 0;
    while (n < maxChars && text[n] != 0)
        ++n;
    return n;
}

Char16 FoldAsciiLetter(Char16 c)
{
    return (c >= 'a' && c <= 'z') ? Char16(c - 'a' + 'A') : c;
}

bool SameInterfaceName(const Char16* a, const Char16* b)
{
    for (;; ++a, ++b) {
        if (FoldAsciiLetter(*a) != FoldAsciiLetter(*b))
            return false;
        if (*a == 0)
            return true;
    }
}

bool SameInterfaceName(const Text16& a, const Text16& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i]))
            return false;
    return true;
}

bool FormatWithText(Char16* out, size_t capacity, const Char16* format, const Char16* text)
{
    if (capacity == 0)
        return false;
    size_t n = 0;
    bool filled = false;
    bool whole = true;
    auto put = [&](Char16 c) {
        if (n + 1 < capacity)
            out[n++] = c;
        else
            whole = false;
    };
    for (const Char16* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            put(Char16('%'));
            ++p;
        } else if (p[0] == '%' && p[1] == 's' && !filled) {
            for (const Char16* t = text; t && *t; ++t)
                put(*t);
            filled = true;
            ++p;
        } else {
            put(*p);
        }
    }
    out[n] = 0;
    return whole;
}
