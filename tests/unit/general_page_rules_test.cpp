#include <gtest/gtest.h>

#include <vector>

#include "prefs/general_page_rules.h"
#include "reply_builder.h"
#include "resources/resource_ids.h"

namespace {

std::vector<uint8_t> SettingsReply(uint32_t pathBytes, uint32_t hold, const std::u16string& path)
{
    std::vector<uint8_t> bytes;
    AppendU32(&bytes, pathBytes);
    AppendU32(&bytes, hold);
    bytes.push_back(1);  // cumulative
    AppendText(&bytes, path);
    return bytes;
}

// The folder sits at an odd offset; sizes are checked before anything is
// taken, and a huge PathBytes must not wrap the bounds check.
TEST(DataFilesSettings, DecodeChecksSizesFirstAndStaysInsideThePath)
{
    std::u16string folder(u"D:\\Data\u00e9\\\0", 10);
    const struct {
        std::vector<uint8_t> reply;
        uint32_t size;  // 0: the whole reply
        DataFilesDecode outcome;
        uint32_t hold;
        std::u16string folder;
    } rows[] = {
        {SettingsReply(20, 0x01020304, folder), 0, DataFilesDecoded, 0x01020304, u"D:\\Data\u00e9\\"},
        {SettingsReply(0, 30, u""), 8, DataFilesTooShort, 77, u""},
        {SettingsReply(0, 30, u""), 9, DataFilesDecoded, 30, u""},
        {SettingsReply(2, 45, u"\x43"), 10, DataFilesPathPastEnd, 45, u""},
        {SettingsReply(0xFFFFFFF8u, 45, u"C"), 0, DataFilesPathPastEnd, 45, u""},
        // A path without NUL, ending in half a character inside PathBytes.
        {SettingsReply(5, 0, u"AB\x43"), 14, DataFilesDecoded, 0, u"AB"},
    };
    for (const auto& r : rows) {
        DisconnectedOptions options = {77, 0};
        Text16 got = u"stale";
        EXPECT_EQ(DecodeDataFilesSettings(r.reply.data(), r.size ? r.size : uint32_t(r.reply.size()), &options, &got),
                  r.outcome);
        EXPECT_EQ(options.HoldSeconds, r.hold);
        EXPECT_EQ(options.CumulativeStatistics, r.outcome != DataFilesTooShort);
        EXPECT_EQ(got, Text16(r.folder.begin(), r.folder.end()));
    }
    EXPECT_EQ(FolderMessageStringId(StatusSuccess), FolderMessageStringId(StatusWrongVersion));
}

TEST(DisconnectedOptionsRequest, InputAndAHoldPastTheRange)
{
    uint8_t input[DisconnectedOptionsInputSize] = {};
    BuildDisconnectedOptionsInput({0x00000164, 1}, input);
    EXPECT_EQ(std::vector<uint8_t>(input, input + 5), std::vector<uint8_t>({0x64, 0x01, 0x00, 0x00, 0x01}));
    // Shown as infinite and sent back as it.
    int position = HoldSliderPosition(250);
    EXPECT_EQ(position, 100);
    EXPECT_EQ(HoldLabelStringId(position), unsigned(IDS_HOLD_INFINITE));
    EXPECT_EQ(HoldLabelStringId(99), unsigned(IDS_HOLD_SECONDS));
    EXPECT_TRUE(DisconnectedOptionsNeedSending({uint32_t(position), 0}, {250, 0}));
    EXPECT_FALSE(DisconnectedOptionsNeedSending({40, 1}, {40, 1}));
    EXPECT_TRUE(DisconnectedOptionsNeedSending({40, 0}, {40, 1}));
}

}  // namespace
