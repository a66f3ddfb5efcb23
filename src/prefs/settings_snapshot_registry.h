// The settings key taken into a snapshot for a backup, and written back from
// the snapshot a restore brings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The whole of HKLM\Software\Merovax\ZorvanHAgent; what cannot be read is
// left out. A missing key gives the bare header.
bool TakeSettingsSnapshot(std::vector<uint8_t>* snapshot);

// Checks the snapshot as a whole, then writes it over the settings key
// (nothing is deleted) and has open windows re-read their settings. A refused
// snapshot writes nothing.
bool RestoreSettingsSnapshot(const uint8_t* bytes, size_t size);
