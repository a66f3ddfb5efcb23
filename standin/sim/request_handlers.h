// The service's requests, one handler per code. Callers hold SimLock.
#pragma once

#include <cstdint>
#include <vector>

#include "sim_state.h"

struct RequestInput {
    const uint8_t* bytes;
    uint32_t size;
    const SimFault* malformed;  // a malformed fault that hit this request, or null
};

typedef uint32_t (*RequestHandler)(const RequestInput& input, std::vector<uint8_t>& reply);

// Null for a code the service does not answer yet.
RequestHandler FindRequestHandler(uint32_t code);
