#include <gtest/gtest.h>

#include "core/wire_read.h"
#include "prefs/data_files_wire.h"

static const OperationIdentity Identity = {0x11111111, 0x22222222, 0x33333333};

TEST(DataFilesWire, ProgressCountsOnlyForThisOperation)
{
    uint8_t poll[ProgressInputBytes];
    BuildProgressInput(true, Identity, poll);
    EXPECT_EQ(ReadU32(poll), 1u);
    EXPECT_EQ(ReadU32(poll + 4), Identity.ticks);

    std::vector<uint8_t> reply(20);
    std::copy(poll + 4, poll + 16, reply.begin() + 8);
    reply[0] = 1;
    reply[4] = 140;
    uint32_t percent = 0;
    ASSERT_TRUE(ReadOperationProgress(reply.data(), reply.size(), Identity, &percent));
    EXPECT_EQ(percent, 100u);
    EXPECT_FALSE(ReadOperationProgress(reply.data(), 19, Identity, &percent));
    reply[12] ^= 1;  // another process's operation
    EXPECT_FALSE(ReadOperationProgress(reply.data(), reply.size(), Identity, &percent));
    reply[12] ^= 1;
    reply[0] = 0;
    EXPECT_FALSE(ReadOperationProgress(reply.data(), reply.size(), Identity, &percent));
}

TEST(DataFilesWire, RestoredSnapshotMustLieInsideTheReply)
{
    std::vector<uint8_t> reply = {2, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4};
    const uint8_t* snapshot = nullptr;
    uint32_t bytes = 0;
    ASSERT_TRUE(FindRestoredSnapshot(reply.data(), reply.size(), &snapshot, &bytes));
    EXPECT_EQ(snapshot, reply.data() + 12);
    EXPECT_EQ(bytes, 4u);
    EXPECT_FALSE(FindRestoredSnapshot(reply.data(), 15, &snapshot, &bytes));
    reply[8] = 0;
    EXPECT_FALSE(FindRestoredSnapshot(reply.data(), reply.size(), &snapshot, &bytes));
    reply[8] = 4;
    reply[0] = 1;
    EXPECT_FALSE(FindRestoredSnapshot(reply.data(), reply.size(), &snapshot, &bytes));
}

TEST(DataFilesWire, OneTrailingBackslashGoesButADriveRootKeepsIt)
{
    const Char16* rows[][2] = {{TEXT16("C:\\Data\\"), TEXT16("C:\\Data")},
                               {TEXT16("C:\\Data"), TEXT16("C:\\Data")},
                               {TEXT16("C:\\Data\\\\"), TEXT16("C:\\Data\\")},
                               {TEXT16("C:\\"), TEXT16("C:\\")},
                               {TEXT16("\\"), TEXT16("\\")}};
    for (const auto& r : rows) {
        Char16 path[16];
        std::char_traits<Char16>::copy(path, r[0], std::char_traits<Char16>::length(r[0]) + 1);
        DropTrailingBackslash(path);
        EXPECT_EQ(Text16(path), Text16(r[1]));
    }
}
