// Little-endian reads from service blocks. Callers check the bounds first;
// these only spare them the byte shuffling and the alignment traps.
#pragma once

#include <cstdint>
#include <cstring>

inline uint32_t ReadU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t ReadU64(const uint8_t* p)
{
    return uint64_t(ReadU32(p)) | uint64_t(ReadU32(p + 4)) << 32;
}

// True when [offset, offset + length) lies inside a block of `size` bytes.
inline bool FitsIn(uint64_t size, uint64_t offset, uint64_t length)
{
    return offset <= size && length <= size - offset;
}
