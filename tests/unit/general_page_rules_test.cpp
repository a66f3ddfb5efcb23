#include <gtest/gtest.h>

#include <vector>

#include "prefs/general_page_rules.h"
#include "reply_builder.h"

namespace {

std::vector<uint8_t> SettingsReply(uint32_t pathBytes, uint32_t hold, uint8_t cumulative, const std::u16string& path)
{
    std::vector<uint8_t> bytes;
    AppendU32(&bytes, pathBytes);
    AppendU32(&bytes, hold);
    bytes.push_back(cumulative);
    for (char16_t c : path) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

Text16 T(const std::u16string& s)
{
    return Text16(s.begin(), s.end());
}

TEST(DataFilesSettings, DecodesFolderAtItsOddOffset)
{
    std::u16string path = u"D:\\Data\u00e9\\";
    path.push_back(0);
    std::vector<uint8_t> reply = SettingsReply(uint32_t(path.size() * 2), 0x01020304, 1, path);
    DisconnectedOptions options = {};
    Text16 folder = T(u"stale");
    ASSERT_EQ(DecodeDataFilesSettings(reply.data(), uint32_t(reply.size()), &options, &folder), DataFilesDecoded);
    EXPECT_EQ(folder, T(u"D:\\Data\u00e9\\"));
    EXPECT_EQ(options.HoldSeconds, 0x01020304u);
    EXPECT_EQ(options.CumulativeStatistics, 1);
}

TEST(DataFilesSettings, SizesAreCheckedBeforeAnythingIsTaken)
{
    std::vector<uint8_t> reply = SettingsReply(0, 30, 1, u"");
    DisconnectedOptions options = {77, 0};
    Text16 folder;
    EXPECT_EQ(DecodeDataFilesSettings(reply.data(), 8, &options, &folder), DataFilesTooShort);
    EXPECT_EQ(options.HoldSeconds, 77u);
    // Exactly the fixed part with an empty path is a sound reply.
    EXPECT_EQ(DecodeDataFilesSettings(reply.data(), 9, &options, &folder), DataFilesDecoded);
    EXPECT_EQ(options.HoldSeconds, 30u);
    EXPECT_TRUE(folder.empty());
    // A path past the end keeps the options; a huge PathBytes must not wrap
    // the bounds check.
    for (uint32_t pathBytes : {2u, 0xFFFFFFF8u}) {
        reply = SettingsReply(pathBytes, 45, 1, u"");
        reply.push_back('C');
        EXPECT_EQ(DecodeDataFilesSettings(reply.data(), uint32_t(reply.size()), &options, &folder),
                  DataFilesPathPastEnd);
        EXPECT_EQ(options.HoldSeconds, 45u);
        EXPECT_TRUE(folder.empty());
    }
}

TEST(DataFilesSettings, PathWithoutNulOrWithOddLengthStaysInside)
{
    std::vector<uint8_t> reply = SettingsReply(5, 0, 0, u"AB");
    reply.push_back('C');  // half a character, inside PathBytes
    DisconnectedOptions options = {};
    Text16 folder;
    ASSERT_EQ(DecodeDataFilesSettings(reply.data(), uint32_t(reply.size()), &options, &folder), DataFilesDecoded);
    EXPECT_EQ(folder, T(u"AB"));
}

TEST(DataFilesSettings, AnUnusableSuccessReadsAsAWrongVersion)
{
    EXPECT_EQ(FolderMessageStringId(StatusSuccess), FolderMessageStringId(StatusWrongVersion));
    EXPECT_EQ(FolderMessageStringId(StatusAccessDenied), 8u);
}

TEST(DisconnectedOptionsRequest, InputIsFivePackedLittleEndianBytes)
{
    uint8_t input[DisconnectedOptionsInputSize] = {};
    BuildDisconnectedOptionsInput({0x00000164, 1}, input);
    const uint8_t expected[] = {0x64, 0x01, 0x00, 0x00, 0x01};
    EXPECT_EQ(std::vector<uint8_t>(input, input + 5), std::vector<uint8_t>(expected, expected + 5));
}

TEST(DisconnectedOptionsRequest, AHoldPastTheRangeShowsInfiniteAndIsSentBackAsIt)
{
    int position = HoldSliderPosition(250);
    EXPECT_EQ(position, 100);
    EXPECT_EQ(HoldLabelStringId(position), 125u);
    EXPECT_EQ(HoldLabelStringId(99), 102u);
    EXPECT_TRUE(DisconnectedOptionsNeedSending({uint32_t(position), 0}, {250, 0}));
    EXPECT_FALSE(DisconnectedOptionsNeedSending({40, 1}, {40, 1}));
    EXPECT_TRUE(DisconnectedOptionsNeedSending({40, 0}, {40, 1}));
}

}  // namespace
