// Feeds arbitrary bytes to the reader of the request-11 reply (the progress
// of a data-files operation), once for an identity the reply may name and
// once for the identity its own bytes carry; the sanitizers report any read
// outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "prefs/data_files_wire.h"

static uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* reply = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(reply, data, size);
    const OperationIdentity fixed = {0x01020304, 0x1234, 0x5678};
    uint32_t percent = 1000;
    if (ReadOperationProgress(reply, size, fixed, &percent) && percent > 100)
        std::abort();
    if (size >= ProgressReplyMinBytes) {
        // The identity the reply names: accepted exactly when flag 0x1 is set.
        const OperationIdentity own = {Le32(reply + 8), Le32(reply + 12), Le32(reply + 16)};
        percent = 1000;
        bool read = ReadOperationProgress(reply, size, own, &percent);
        if (read != bool(reply[0] & 0x1) || (read && percent > 100))
            std::abort();
        if (read && Le32(reply + 4) <= 100 && percent != Le32(reply + 4))
            std::abort();
    } else if (ReadOperationProgress(reply, size, fixed, &percent)) {
        std::abort();
    }
    std::free(reply);
    return 0;
}
