// Messages between the interface library, the control command and the
// simulator. One message per pipe transaction, little-endian, packed by hand.
#pragma once

#include <cstdint>
#include <vector>

namespace wire {

constexpr uint32_t Magic = 0x4D53485Au;  // "ZHSM"
constexpr uint32_t MaxMessage = 1u << 22;
constexpr uint32_t NoToken = 0xFFFFFFFFu;

enum Kind : uint32_t {
    Init = 1,
    Uninit = 2,
    Request = 3,
    Release = 4,
    Control = 5,
};

// What the library found when the caller handed a reply back.
enum ReleaseVerdict : uint32_t {
    Matched = 0,   // token held, pointer, size and flag as issued
    Mismatch = 1,  // token held, but pointer, size or flag differ
    NotHeld = 2,   // token not (or no longer) held by this library
    Empty = 3,     // null reply, size 0, no token: nothing was issued
};

// Init:     magic, kind                                  -> magic, status
// Uninit:   magic, kind                                  -> magic, 0
// Request:  magic, kind, code, wantReply, inputSize, input bytes
//           -> magic, status, hasBlock, token, flag, size, block bytes
// Release:  magic, kind, token, verdict, size            -> magic, 0
// Control:  magic, kind, argc, argc NUL-ended UTF-8 strings
//           -> magic, refused (0/1), UTF-8 text
constexpr uint32_t RequestHeader = 20;
constexpr uint32_t AnswerHeader = 24;

inline void Put32(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

inline uint32_t Get32(const uint8_t* at)
{
    return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) | (static_cast<uint32_t>(at[2]) << 16) |
        (static_cast<uint32_t>(at[3]) << 24);
}

inline void Append32(std::vector<uint8_t>& out, uint32_t value)
{
    size_t at = out.size();
    out.resize(at + 4);
    Put32(out.data() + at, value);
}

}  // namespace wire
