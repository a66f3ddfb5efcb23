#pragma once

#include <windows.h>

// The installation folder, ending with a backslash: the value
// "ZorvanHAgentDir" when it is a usable string, else the folder of the
// agent's own executable. `capacity` is the buffer's size in characters;
// the registry read is given the same number as bytes, so it can never fill
// more than half of the buffer.
bool GetAgentDirectory(wchar_t* buffer, DWORD capacity);
