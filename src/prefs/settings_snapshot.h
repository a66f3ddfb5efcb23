// The whole settings key as one snapshot for a configuration backup, and the
// snapshot of a restore written back into it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// Takes every value and subkey of the agent's settings key; what cannot be
// read, or does not fit a record, is left out. A missing key gives the bare
// header. False only when memory runs out.
bool TakeSettingsSnapshot(std::vector<uint8_t>* snapshot);

// Checks the whole snapshot, then writes it over the settings key: nothing
// is deleted, values it holds are overwritten. A refused snapshot writes
// nothing; a key that cannot be created stops the writing there. After a
// complete write `reloadEvent` (if any) is pulsed, so that the windows read
// their settings again.
bool RestoreSettingsSnapshot(const uint8_t* bytes, uint32_t size, HANDLE reloadEvent);
