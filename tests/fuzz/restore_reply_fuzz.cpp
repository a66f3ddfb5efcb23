// Feeds arbitrary bytes to the reader of a request-13 reply as the restore
// takes it: the snapshot is looked for in the reply and, where one lies
// inside it, decoded as the registry restore would decode it. Once as the
// bytes come and once with the stored sizes made to match, so that the
// snapshot's records get explored too; the sanitizers report any read
// outside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "prefs/data_files_wire.h"
#include "prefs/settings_snapshot.h"

static void Check(const uint8_t* reply, size_t size)
{
    const uint8_t* snapshot = nullptr;
    uint32_t snapshotBytes = 0;
    if (!FindRestoredSnapshot(reply, size, &snapshot, &snapshotBytes))
        return;
    if (snapshot != reply + 12 || snapshotBytes == 0 || snapshotBytes > size - 12)
        std::abort();
    std::vector<SnapshotEntry> top;
    if (DecodeSettingsSnapshot(snapshot, snapshotBytes, &top) != SnapshotDecoded)
        return;
    std::vector<uint8_t> encoded;
    EncodeSettingsSnapshot(top, 0, &encoded);
    if (encoded.size() > snapshotBytes)
        std::abort();
}

static void Put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size heap copy, so a read one byte past the end is caught.
    uint8_t* reply = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size)
        std::memcpy(reply, data, size);
    Check(reply, size);
    if (size >= 16) {
        // A reply whose snapshot fills the rest and says so in its header.
        reply[0] |= 0x2;
        Put32(reply + 8, uint32_t(size - 12));
        Put32(reply + 12, uint32_t(size - 12));
        Check(reply, size);
    }
    std::free(reply);
    return 0;
}
