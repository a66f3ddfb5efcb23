// Feeds arbitrary bytes to the reader of the request-2 reply (an interface's
// overall statistics) and to the field comparison that follows it in the
// statistics window; the sanitizers report any read outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "stats/statistics_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* reply = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(reply, data, size);
    InterfaceStatistics now;
    bool decoded = DecodeInterfaceStatistics(reply, uint32_t(size), &now);
    if (decoded != (size >= InterfaceStatisticsSize))
        std::abort();
    if (decoded) {
        if (ChangedOverallFields(now, nullptr, false) != OverallAll || ChangedOverallFields(now, &now, true) != 0 ||
            ChangedOverallFields(now, &now, false) != 0)
            std::abort();
        ReceivedBytes(now.counters, true);
        SentBytes(now.counters, false);
        ReceivedPackets(now.counters);
        SentPackets(now.counters);
    }
    std::free(reply);
    return 0;
}
