#include "tray/menu_mnemonics.h"

static Char16 UpperLetter(Char16 c)
{
    return c >= 'a' && c <= 'z' ? Char16(c - 'a' + 'A') : c;
}

Char16 MnemonicKeyOf(const Char16* text)
{
    if (!text)
        return 0;
    for (const Char16* p = text; *p; ++p) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        return UpperLetter(p[1]);
    }
    return 0;
}

bool MnemonicMatches(const Char16* text, Char16 key)
{
    return key != 0 && MnemonicKeyOf(text) == UpperLetter(key);
}
