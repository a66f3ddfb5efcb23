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

void MenuTextOfName(const Char16* name, Char16* out, size_t capacity)
{
    size_t n = 0;
    for (; *name; ++name) {
        size_t need = *name == '&' ? 2 : 1;
        if (n + need >= capacity)
            break;
        out[n++] = *name;
        if (need == 2)
            out[n++] = '&';
    }
    out[n] = 0;
}

bool MnemonicMatches(const Char16* text, Char16 key)
{
    return key != 0 && MnemonicKeyOf(text) == UpperLetter(key);
}
