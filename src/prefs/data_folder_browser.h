// The shell's folder browser, limited to folders on fixed drives.
#pragma once

#include <windows.h>

// True, with the folder in `selected` (MAX_PATH characters), when the user
// picked one. `initial` may be empty.
bool BrowseForDataFolder(HWND owner, const wchar_t* initial, wchar_t* selected);
