// The service's shared memory as bytes: the mapping directory that names the
// statistics mapping, and the statistics view with one InterfaceCounters per
// interface. Pure reads, bounded by the mapped size the caller passes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text16.h"

const uint32_t MappingDirectorySize = 8192;
const uint32_t MappingDirectoryHeaderSize = 24;
const uint32_t MappingDirectoryEntrySize = 562;
const uint32_t MappingNameBytes = 534;
const uint32_t StatisticsMappingKey = 65535;

const uint32_t StatisticsViewHeaderSize = 36;
const uint32_t InterfaceCountersSize = 1064;
const uint32_t InterfaceCountersNameBytes = 1024;

// Four words that change whenever the service rebuilds a mapping.
struct MappingIdentity {
    uint32_t words[4];
};

bool SameIdentity(const MappingIdentity& a, const MappingIdentity& b);

struct MappingDirectoryHeader {
    MappingIdentity identity;
    uint32_t entryCount;
    bool invalid;
};

// False when the block is too short for the header.
bool ReadMappingDirectoryHeader(const uint8_t* directory, size_t size, MappingDirectoryHeader* out);

struct StatisticsMappingEntry {
    uint32_t viewSize;
    Text16 mappingName;
};

// The first entry with the statistics key, among those of EntryCount that
// lie inside the block. False when there is none, or when that entry is
// unusable: its name runs out of its field without a NUL, or its view could
// not even hold the view header.
bool FindStatisticsMappingEntry(const uint8_t* directory, size_t size, StatisticsMappingEntry* out);

struct StatisticsViewHeader {
    MappingIdentity identity;
    bool invalid;
    uint32_t interfaceCount;  // as stored; FindInterfaceCounters bounds it
};

bool ReadStatisticsViewHeader(const uint8_t* view, size_t size, StatisticsViewHeader* out);

// What the readers take from one interface's counters.
struct InterfaceCountersView {
    uint32_t receiveRate;
    uint32_t sendRate;
    uint32_t receiveRateNoHeaders;
    uint32_t sendRateNoHeaders;
    uint64_t connectionTime;  // 100-ns units
    uint32_t connected;
    uint32_t linkSpeed;  // units of 100 bit/s
};

// Looks an interface up by display name (A to Z ignoring case) among the
// entries that InterfaceCount announces and the block holds. A Name that
// fills its field without a NUL matches nothing.
bool FindInterfaceCounters(const uint8_t* view, size_t size, const Text16& name, InterfaceCountersView* out);
