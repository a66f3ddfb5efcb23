// Feeds arbitrary bytes to both shared-memory decoders, as a directory and
// as a statistics view; the sanitizers report any read outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/statistics_view.h"

static void CheckDirectory(const uint8_t* block, size_t size)
{
    StatisticsMappingEntry entry;
    if (FindStatisticsMappingEntry(block, size, &entry) &&
        (entry.mappingName.size() >= MappingNameBytes / 2 || entry.viewSize < StatisticsViewHeaderSize))
        std::abort();
}

static void CheckView(const uint8_t* block, size_t size)
{
    InterfaceCountersView counters;
    FindInterfaceCounters(block, size, TEXT16("Local Area Connection"), &counters);
    // Whatever name the first whole entry carries must be found again,
    // provided the header announces it and the name is terminated.
    StatisticsViewHeader header;
    if (!ReadStatisticsViewHeader(block, size, &header) || header.interfaceCount == 0 ||
        size < StatisticsViewHeaderSize + InterfaceCountersSize)
        return;
    const uint8_t* field = block + StatisticsViewHeaderSize + 8;
    Text16 name;
    for (uint32_t i = 0; i + 1 < InterfaceCountersNameBytes; i += 2) {
        Char16 c = Char16(field[i] | field[i + 1] << 8);
        if (c == 0) {
            if (!FindInterfaceCounters(block, size, name, &counters))
                std::abort();
            return;
        }
        name.push_back(c);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* block = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(block, data, size);
    CheckDirectory(block, size);
    CheckView(block, size);
    std::free(block);
    return 0;
}
