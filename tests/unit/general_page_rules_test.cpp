// What the General page and the data files dialogs send and read.
#include <gtest/gtest.h>

#include <vector>

#include "core/wire_read.h"
#include "prefs/data_files_wire.h"
#include "prefs/general_page_rules.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

std::vector<uint8_t> Reply(uint32_t pathBytes, uint32_t hold, const std::u16string& path)
{
    // Then "cumulative".
    std::vector<uint8_t> bytes;
    Put(&bytes, {{pathBytes, 4}, {hold, 4}, {1, 1}});
    PutText(&bytes, path);
    return bytes;
}

// The folder sits at an odd offset; sizes are checked before anything is
// taken, and a huge PathBytes must not wrap the bounds check. The last path
// has no NUL and ends in half a character inside PathBytes.
TEST(GeneralPage, DataFilesSettingsAndDisconnectedOptions)
{
    const std::tuple<std::vector<uint8_t>, uint32_t, DataFilesDecode, uint32_t, std::u16string> rows[] = {
        {Reply(20, 0x01020304, std::u16string(u"D:\\Data\u00e9\\\0", 10)), 0, DataFilesDecoded, 0x01020304,
         u"D:\\Data\u00e9\\"},
        {Reply(0, 30, u""), 8, DataFilesTooShort, 77, u""},
        {Reply(0, 30, u""), 9, DataFilesDecoded, 30, u""},
        {Reply(0xFFFFFFF8u, 45, u"C"), 0, DataFilesPathPastEnd, 45, u""},
        {Reply(5, 0, u"ABC"), 14, DataFilesDecoded, 0, u"AB"}};
    for (const auto& r : rows) {
        const std::vector<uint8_t>& reply = std::get<0>(r);
        DisconnectedOptions options = {77, 0};
        Text16 got = u"stale";
        EXPECT_EQ(DecodeDataFilesSettings(reply.data(), std::get<1>(r) ? std::get<1>(r) : uint32_t(reply.size()),
                                          &options, &got),
                  std::get<2>(r));
        EXPECT_EQ(options.HoldSeconds, std::get<3>(r));
        EXPECT_EQ(options.CumulativeStatistics, std::get<2>(r) != DataFilesTooShort);
        EXPECT_EQ(got, std::get<4>(r));
    }
    EXPECT_EQ(FolderMessageStringId(StatusSuccess), FolderMessageStringId(StatusWrongVersion));

    uint8_t input[DisconnectedOptionsInputSize] = {};
    BuildDisconnectedOptionsInput({0x00000164, 1}, input);
    EXPECT_EQ(std::vector<uint8_t>(input, input + 5), std::vector<uint8_t>({0x64, 0x01, 0x00, 0x00, 0x01}));
    // A hold past the range is shown as infinite and sent back as it.
    EXPECT_EQ(HoldSliderPosition(250), 100);
    EXPECT_EQ(HoldLabelStringId(100), unsigned(IDS_HOLD_INFINITE));
    EXPECT_EQ(HoldLabelStringId(99), unsigned(IDS_HOLD_SECONDS));
    EXPECT_TRUE(DisconnectedOptionsNeedSending({100, 0}, {250, 0}) && DisconnectedOptionsNeedSending({40, 0}, {40, 1}));
    EXPECT_FALSE(DisconnectedOptionsNeedSending({40, 1}, {40, 1}));
}

// Progress counts only for this operation; the restored snapshot must lie
// inside the reply; one trailing backslash goes, but a drive root keeps it.
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

    reply = {2, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4};
    const uint8_t* snapshot = nullptr;
    uint32_t bytes = 0;
    ASSERT_TRUE(FindRestoredSnapshot(reply.data(), 16, &snapshot, &bytes));
    EXPECT_TRUE(snapshot == reply.data() + 12 && bytes == 4);
    reply[0] = 1;
    EXPECT_FALSE(FindRestoredSnapshot(reply.data(), 16, &snapshot, &bytes));

    const Char16* paths[][2] = {{u"C:\\Data\\\\", u"C:\\Data\\"}, {u"C:\\", u"C:\\"}, {u"\\", u"\\"}};
    for (const auto& p : paths) {
        Text16 path = p[0];
        DropTrailingBackslash(&path[0]);
        EXPECT_EQ(Text16(path.c_str()), p[1]);
    }
}

}  // namespace
