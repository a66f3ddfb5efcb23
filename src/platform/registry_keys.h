// The two general registry routines every settings writer uses.
#pragma once

#include <windows.h>

// Opens or creates each level of a backslash-separated path below `parent`
// and returns the last (full access), or null. The parent handle is always
// closed once the first level was tried, so calls chain. No path: null.
// No parent or an empty path: the parent itself.
HKEY CreateKeyPath(HKEY parent, const wchar_t* path);

// Deletes `name` below `parent` with everything beneath it, first opening
// its DACL so that a locked key goes too. Returns a Win32 error code.
LONG DeleteKeyTree(HKEY parent, const wchar_t* name);
