// Reply blocks this library has handed out and not yet taken back.
#pragma once

#include <cstdint>

// Allocates a block for an issued reply and remembers it under its token.
// Returns null when memory runs out (nothing is remembered then).
void* HoldReply(uint32_t token, const uint8_t* bytes, uint32_t size, uint8_t flag);

// Looks the four values up, frees the block when they match what was issued,
// and returns a wire::ReleaseVerdict.
uint32_t TakeBackReply(void* reply, uint32_t size, uint32_t flag, uint32_t token);

void StartReplyTable();
void StopReplyTable();
