// The byte layout of the service's mapping directory and statistics view,
// written in place into the mapped memory.
#pragma once

#include <cstdint>
#include <string>

#include "sim_state.h"

constexpr uint32_t DirectorySize = 8192;
constexpr uint32_t StatisticsKey = 65535;
constexpr uint32_t ViewHeaderSize = 36;
constexpr uint32_t CountersSize = 1064;

struct Identity {
    uint32_t words[4];
};

void WriteDirectoryHeader(uint8_t* directory, const Identity& identity, uint32_t entryCount, bool invalid);
void WriteDirectoryEntry(uint8_t* directory, uint32_t index, uint32_t key, uint32_t viewSize, const std::wstring& name);
void ClearDirectoryEntry(uint8_t* directory, uint32_t index);
void SetInvalidBit(uint8_t* directoryOrView, bool directory, bool invalid);

void WriteViewHeader(uint8_t* view, const Identity& identity, uint32_t interfaceCount, bool invalid);
void WriteInterfaceCounters(uint8_t* view, uint32_t index, const SimInterface& item);
void ClearInterfaceCounters(uint8_t* view, uint32_t index);
