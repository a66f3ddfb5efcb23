// Feeds arbitrary bytes to the reader of the request-9 reply (the service's
// data-files folder and its treatment of disconnected connections); the
// sanitizers report any read outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "prefs/general_page_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* reply = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(reply, data, size);
    DisconnectedOptions options = {7, 1};
    Text16 folder;
    DataFilesDecode result = DecodeDataFilesSettings(reply, uint32_t(size), &options, &folder);
    // A folder is taken only from a whole reply, and never holds more units
    // than the reply has bytes behind its fixed part, nor a NUL.
    if (result != DataFilesDecoded && !folder.empty())
        std::abort();
    if (result == DataFilesDecoded && folder.size() * 2 + DataFilesSettingsFixedSize > size)
        std::abort();
    for (Char16 c : folder)
        if (c == 0)
            std::abort();
    if (result == DataFilesTooShort && (options.HoldSeconds != 7 || options.CumulativeStatistics != 1))
        std::abort();
    if (result != DataFilesTooShort) {
        HoldLabelStringId(HoldSliderPosition(options.HoldSeconds));
        uint8_t input[DisconnectedOptionsInputSize];
        BuildDisconnectedOptionsInput(options, input);
    }
    std::free(reply);
    return 0;
}
