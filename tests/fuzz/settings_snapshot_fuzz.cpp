// Feeds arbitrary bytes to the snapshot decoder, once as they come and once
// with the stored total made to match, so that the records behind the
// header get explored too. What decodes must encode to no more bytes than
// it came from, and that encoding must decode and encode again to as many
// bytes (the writer puts values and keys in its own order, so the bytes
// themselves may be arranged differently).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "prefs/settings_snapshot.h"

static void Check(const uint8_t* bytes, size_t size)
{
    std::vector<SnapshotEntry> tree;
    if (DecodeSettingsSnapshot(bytes, size, &tree) != SnapshotDecoded || tree.empty())
        return;
    std::vector<uint8_t> first, second;
    EncodeSettingsSnapshot(tree, 0, &first);
    if (first.size() > size)
        std::abort();
    std::vector<SnapshotEntry> again;
    if (DecodeSettingsSnapshot(first.data(), first.size(), &again) != SnapshotDecoded)
        std::abort();
    EncodeSettingsSnapshot(again, 0, &second);
    if (second.size() != first.size())
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(bytes, data, size);
    Check(bytes, size);
    if (size >= 4) {
        for (int i = 0; i < 4; ++i)
            bytes[i] = uint8_t(size >> (8 * i));
        Check(bytes, size);
    }
    std::free(bytes);
    return 0;
}
