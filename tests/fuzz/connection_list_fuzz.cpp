// Feeds arbitrary bytes to the request-4 walks: the list form, then the
// statistics form for every entry the list produced and for the aggregate
// group; the sanitizers report any read outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "stats/statistics_wire.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* reply = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(reply, data, size);
    std::vector<ConnectionEntry> entries;
    if (DecodeConnectionList(reply, uint32_t(size), &entries)) {
        for (ConnectionEntry& entry : entries) {
            if (entry.name.size() * 2 > size)
                std::abort();
            ReadEntryStatistics(reply, uint32_t(size), &entry);
        }
    }
    ConnectionEntry aggregate = {};
    aggregate.isGroup = true;
    aggregate.groupIdB = AggregateGroupId;
    ReadEntryStatistics(reply, uint32_t(size), &aggregate);
    std::free(reply);
    return 0;
}
