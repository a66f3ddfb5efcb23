// Feeds arbitrary bytes to the interface-list decoder as every reader would
// see them; the sanitizers report any read outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/interface_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* reply = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(reply, data, size);
    const InterfaceListReader readers[] = {ReaderTrayMenu,       ReaderInterfaceRefresh, ReaderStatisticsWindow,
                                           ReaderInterfacesPage, ReaderMonitorsPage,     ReaderMovementsPage};
    for (InterfaceListReader reader : readers) {
        std::vector<InterfaceEntry> entries;
        DecodeInterfaceList(reader, StatusSuccess, reply, uint32_t(size), &entries);
        for (const InterfaceEntry& e : entries)
            if (e.name.size() > size || e.id.size() > size)
                std::abort();
    }
    std::free(reply);
    return 0;
}
