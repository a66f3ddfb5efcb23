// The agent's settings key as a flat byte string, the form in which it
// travels inside a backup or restore request. Encoding and decoding only;
// the registry side lives in settings_snapshot_registry.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/text16.h"

const uint32_t SnapshotHeaderBytes = 18;
const uint32_t SnapshotVersion = 0x00010000;

enum SnapshotKind : uint8_t {
    SnapshotKey = 0x01,
    SnapshotOther = 0x02,   // any type but the two below; restored as REG_BINARY
    SnapshotString = 0x04,  // REG_SZ, terminating NUL kept in the data
    SnapshotDword = 0x08,
};

// One key or value. For a key `children` holds its values first and then its
// subkeys, each in registry enumeration order; a value has no children.
struct SnapshotEntry {
    Text16 name;
    uint8_t kind;
    std::vector<uint8_t> data;
    std::vector<SnapshotEntry> children;
};

// Registry keys nest at most 512 deep (the agent's own settings are three
// levels), so a deeper snapshot could not be written whole anyway; it is
// refused before anything is written rather than recursed into. This is the
// one refusal beyond the header checks, overruns and failed allocations.
const unsigned SnapshotMaxDepth = 512;

// Writes `top` (the values and subkeys of the settings key, values first,
// each in enumeration order) after an 18-byte header. Entries the format
// cannot hold (a name over 255 units, data over 65535 bytes, a key of more
// than 65535 children) are left out with everything below them.
void EncodeSettingsSnapshot(const std::vector<SnapshotEntry>& top, uint64_t created, std::vector<uint8_t>* out);

enum SnapshotDecode {
    SnapshotDecoded,
    SnapshotTooShort,      // less than the header
    SnapshotSizeMismatch,  // TotalBytes differs from the received size
    SnapshotEmpty,         // TopCount 0
    SnapshotOldVersion,
    SnapshotRecordPastEnd,
    SnapshotTooDeep,  // keys nested deeper than SnapshotMaxDepth
};

// Checks the whole snapshot and fills `top` in record order; on any refusal
// `top` is left empty so that nothing of a bad snapshot gets written. As the
// writer never leaves a partial record, fewer than four bytes before a record
// end its list without error.
SnapshotDecode DecodeSettingsSnapshot(const uint8_t* bytes, size_t size, std::vector<SnapshotEntry>* top);
