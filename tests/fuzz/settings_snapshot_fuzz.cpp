// Feeds arbitrary bytes to the snapshot decoder, once as they come and once
// with the stored total made to match, so that the records behind the
// header get explored too. What decodes must encode and decode again to the
// same bytes (each decode reverses the lists, so two rounds are compared).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "prefs/settings_snapshot_format.h"

static void Check(const uint8_t* bytes, uint32_t size)
{
    std::vector<SnapshotNode> tree;
    if (DecodeSettingsSnapshot(bytes, size, &tree) != SnapshotGood)
        return;
    const std::vector<uint8_t> first = EncodeSettingsSnapshot(tree, 0);
    if (first.size() > size)
        std::abort();
    std::vector<SnapshotNode> again, third;
    if (DecodeSettingsSnapshot(first.data(), uint32_t(first.size()), &again) != SnapshotGood && !tree.empty())
        std::abort();
    const std::vector<uint8_t> second = EncodeSettingsSnapshot(again, 0);
    if (DecodeSettingsSnapshot(second.data(), uint32_t(second.size()), &third) != SnapshotGood && !tree.empty())
        std::abort();
    if (!tree.empty() && EncodeSettingsSnapshot(third, 0) != first)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x1000000)
        return 0;
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(bytes, data, size);
    Check(bytes, uint32_t(size));
    if (size >= 4) {
        for (int i = 0; i < 4; ++i)
            bytes[i] = uint8_t(size >> (8 * i));
        Check(bytes, uint32_t(size));
    }
    std::free(bytes);
    return 0;
}
