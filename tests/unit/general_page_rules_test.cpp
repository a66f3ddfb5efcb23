// What the General page and the data files dialogs send and read.
#include <gtest/gtest.h>

#include <vector>

#include "core/wire_read.h"
#include "prefs/data_files_wire.h"
#include "prefs/general_page_rules.h"
#include "reply_builder.h"

namespace {

std::vector<uint8_t> Reply(uint32_t pathBytes, uint32_t hold, const std::u16string& path)
{
    // Then "cumulative".
    std::vector<uint8_t> bytes;
    Put(&bytes, {{pathBytes, 4}, {hold, 4}, {1, 1}});
    PutText(&bytes, path);
    return bytes;
}

// The hold sent back and the folder shown are the General page's tests' to
// see; what they cannot tell apart is the shortest whole reply, a path without
// its NUL ending in half a character, and sizes past the reply, checked
// before anything is taken: a huge PathBytes must not wrap the check.
TEST(GeneralPage, DataFilesSettings)
{
    DisconnectedOptions options = {77, 0};
    Text16 path = u"stale";
    std::vector<uint8_t> reply = Reply(0, 30, u"");
    EXPECT_EQ(DecodeDataFilesSettings(reply.data(), 9, &options, &path), DataFilesDecoded);
    EXPECT_TRUE(options.HoldSeconds == 30 && options.CumulativeStatistics && path.empty());
    reply = Reply(5, 0, u"ABC");
    EXPECT_EQ(DecodeDataFilesSettings(reply.data(), 14, &options, &path), DataFilesDecoded);
    EXPECT_EQ(path, u"AB");
    for (uint32_t bytes : {2u, 0xFFFFFFF8u}) {
        reply = Reply(bytes, 45, u"C");
        EXPECT_EQ(DecodeDataFilesSettings(reply.data(), 10, &options, &path), DataFilesPathPastEnd) << bytes;
    }
}

// Progress counts only for this operation (a restore that finds its snapshot
// is the data files tests'); one trailing backslash goes, but a drive root
// keeps it.
TEST(DataFiles, ProgressRestoreAndFolder)
{
    const OperationIdentity identity = {0x11111111, 0x22222222, 0x33333333};
    uint8_t poll[ProgressInputBytes];
    BuildProgressInput(true, identity, poll);
    EXPECT_TRUE(ReadU32(poll) == 1 && ReadU32(poll + 4) == identity.ticks);
    std::vector<uint8_t> reply(20);
    std::copy(poll + 4, poll + 16, reply.begin() + 8);
    reply[0] = 1, reply[4] = 140;
    uint32_t percent = 0;
    ASSERT_TRUE(ReadOperationProgress(reply.data(), 20, identity, &percent));
    EXPECT_EQ(percent, 100u);
    // Another process's operation (cut replies and the flag are the fuzz target's).
    reply[12] ^= 1;
    EXPECT_FALSE(ReadOperationProgress(reply.data(), 20, identity, &percent));

    // Without flag 2 there is no snapshot, whatever the sizes say.
    reply = {1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4};
    const uint8_t* snapshot = nullptr;
    uint32_t bytes = 0;
    EXPECT_FALSE(FindRestoredSnapshot(reply.data(), 16, &snapshot, &bytes));

    const Char16* paths[][2] = {{u"C:\\Data\\\\", u"C:\\Data\\"}, {u"C:\\", u"C:\\"}, {u"\\", u"\\"}};
    for (const auto& p : paths) {
        Text16 path = p[0];
        DropTrailingBackslash(&path[0]);
        EXPECT_EQ(Text16(path.c_str()), p[1]);
    }
}

}  // namespace
