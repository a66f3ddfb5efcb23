// The byte form of the whole settings key that a configuration backup hands
// to the service and a restore gets back: an 18-byte header, then records
// written depth first, each key followed at once by its children.
#pragma once

#include <cstdint>
#include <vector>

#include "core/text16.h"

const uint32_t SnapshotHeaderSize = 18;
const uint32_t SnapshotVersion = 0x00010000;
const uint32_t SnapshotMaxNameChars = 255;
const uint32_t SnapshotMaxData = 65535;
// Far deeper than the settings ever go (three levels); a deeper snapshot is
// damaged or hostile, and refusing it keeps the decoder's recursion short.
const int SnapshotMaxDepth = 16;

enum SnapshotKind : uint8_t {
    SnapshotKey = 0x01,
    SnapshotOtherValue = 0x02,  // any type but the two below; restored as REG_BINARY
    SnapshotString = 0x04,      // REG_SZ, its NUL included
    SnapshotDword = 0x08,       // REG_DWORD
};

struct SnapshotNode {
    Text16 name;
    uint8_t kind;
    std::vector<uint8_t> data;           // values only
    std::vector<SnapshotNode> children;  // keys only
};

// Whether a name and its data fit the record's one-byte and two-byte sizes.
bool FitsSnapshotRecord(size_t nameChars, size_t dataBytes);

// The nodes in the order given; a key's child count is its children's.
std::vector<uint8_t> EncodeSettingsSnapshot(const std::vector<SnapshotNode>& top, uint64_t created);

enum SnapshotStatus {
    SnapshotGood,
    SnapshotTooShort,      // less than a header
    SnapshotSizeMismatch,  // TotalBytes is not the size received
    SnapshotNoRecords,     // TopCount 0
    SnapshotOldVersion,
    SnapshotPastEnd,       // a record runs past the end
    SnapshotBadKeyName,    // empty, or holding a backslash, which would name a path
    SnapshotTooDeep,
};

// Checks the whole snapshot before anything is written. Each list comes out
// in the reverse of the order it was stored in. A list whose next record
// would start with fewer than 4 bytes left ends there without an error, so
// a snapshot cut after a whole record keeps the records before the cut.
SnapshotStatus DecodeSettingsSnapshot(const uint8_t* bytes, uint32_t size, std::vector<SnapshotNode>* top);
