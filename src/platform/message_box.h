// Message boxes whose text comes from the string table.
#pragma once

#include <windows.h>

extern const wchar_t AppTitle[];  // "ZorvanHAgent", the caption of the agent's boxes

// Loads string `id` into a 256-character buffer and shows it with the given
// icon and button flags. Returns the box's answer, or 0 when the string could
// not be loaded (then no box is shown).
int ShowStringMessage(HWND owner, UINT id, UINT flags);

// Loads string `id` into `buffer`; false (and an empty buffer) when missing.
bool LoadAgentString(UINT id, wchar_t* buffer, int capacity);
