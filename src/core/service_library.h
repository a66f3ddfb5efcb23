// Loading and unloading the service's interface library.
#pragma once

#include <windows.h>

// Loads "ZorvanHServiceIO.dll" and takes its ordinals 1 to 4 into
// ServiceLibrary. On failure nothing stays loaded.
bool LoadServiceLibrary();

// Closes the request channel and waits up to `timeoutMs` for the calls
// and replies still out; then ServiceUninitialize, FreeLibrary, and every
// pointer forgotten. When they are not back in time the library stays
// loaded: the process is ending, and a thread inside it must not fault.
void UnloadServiceLibrary(DWORD timeoutMs);
