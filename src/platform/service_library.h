// Loading and unloading the service's interface library.
#pragma once

// Loads "ZorvanHServiceIO.dll" and takes its ordinals 1 to 4 into
// ServiceLibrary. On failure nothing stays loaded.
bool LoadServiceLibrary();

// ServiceUninitialize, then FreeLibrary; forgets every pointer.
void UnloadServiceLibrary();
