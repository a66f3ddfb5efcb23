// Feeds arbitrary bytes to the settings snapshot decoder, as a restore reply
// would bring them; whatever it accepts must encode back to a snapshot that
// decodes again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "prefs/settings_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t* block = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(block, data, size);
    std::vector<SnapshotEntry> top;
    if (DecodeSettingsSnapshot(block, size, &top) == SnapshotDecoded && !top.empty()) {
        std::vector<uint8_t> again;
        EncodeSettingsSnapshot(top, 0, &again);
        std::vector<SnapshotEntry> back;
        if (again.size() > size || DecodeSettingsSnapshot(again.data(), again.size(), &back) != SnapshotDecoded)
            std::abort();
    }
    std::free(block);
    return 0;
}
