// One call of the library's request function as the service answers it:
// counting, faults, the handler, and the ledger entry for a reply block.
#pragma once

#include <cstdint>
#include <vector>

struct RequestAnswer {
    uint32_t status;
    bool hasBlock;
    uint32_t token;
    std::vector<uint8_t> block;
};

void ServeRequest(uint32_t code, bool wantReply, const uint8_t* input, uint32_t inputSize, RequestAnswer& answer);

// The status ServiceInitialize returns.
uint32_t ServeInitialize();
