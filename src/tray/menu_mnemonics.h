// The keyboard letters of menu items. Windows leaves owner-drawn items to
// their owner: it asks with WM_MENUCHAR which item a typed letter chooses,
// so the owner matches the letters against the texts the items keep.
#pragma once

#include "core/text16.h"

// The item's letter: the character after its first lone '&' ("&&" shows an
// ampersand and marks nothing), letters A to Z given in upper case; 0 when
// the text marks none.
Char16 MnemonicKeyOf(const Char16* text);

// An interface name as a menu item's text: each '&' doubled, so that it shows
// as itself and marks no letter. What does not fit in capacity characters
// (the NUL included) is cut off, never half of a doubled '&'.
void MenuTextOfName(const Char16* name, Char16* out, size_t capacity);

// Whether typing key chooses an item with this text; the case of A to Z
// does not matter, as the menus' texts are English.
bool MnemonicMatches(const Char16* text, Char16 key);
