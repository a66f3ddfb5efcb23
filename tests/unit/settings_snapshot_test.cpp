#include <gtest/gtest.h>

#include "prefs/settings_snapshot.h"

namespace {

SnapshotEntry Value(const std::string& name, uint8_t kind, std::vector<uint8_t> data = {},
                    std::vector<SnapshotEntry> children = {})
{
    SnapshotEntry e;
    e.name.assign(name.begin(), name.end());
    e.kind = kind;
    e.data = std::move(data);
    e.children = std::move(children);
    return e;
}

SnapshotEntry Key(const std::string& name, std::vector<SnapshotEntry> children = {})
{
    return Value(name, SnapshotKey, {}, std::move(children));
}

std::vector<uint8_t> Encode(const std::vector<SnapshotEntry>& top, uint64_t time = 0)
{
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot(top, time, &bytes);
    return bytes;
}

SnapshotDecode Decode(std::vector<uint8_t> bytes, std::vector<SnapshotEntry>* back, bool fixTotal = false)
{
    for (int i = 0; fixTotal && i < 4; ++i)
        bytes[i] = uint8_t(bytes.size() >> (8 * i));
    back->assign(1, SnapshotEntry());
    return DecodeSettingsSnapshot(bytes.data(), bytes.size(), back);
}

TEST(SettingsSnapshot, OneValueAndOneEmptyKeyMakeThirtyFourBytes)
{
    const std::vector<uint8_t> expected = {34,   0, 0, 0, 0, 0,   1, 0, 2, 0, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23,
                                           0x01, 1, 8, 4, 0, 'v', 0, 5, 0, 0, 0,    1,    1,    0,    0,    'k',  0};
    EXPECT_EQ(Encode({Value("v", SnapshotDword, {5, 0, 0, 0}), Key("k")}, 0x0123456789ABCDEFull), expected);
    std::vector<SnapshotEntry> back;
    EXPECT_EQ(Decode(Encode({}), &back), SnapshotEmpty);  // a missing key gives the bare header
}

TEST(SettingsSnapshot, ValuesAndKeysComeInTheWritersOrder)
{
    std::vector<SnapshotEntry> back;
    ASSERT_EQ(Decode(Encode({Value("a", SnapshotDword, {1, 0, 0, 0}), Value("b", SnapshotDword, {2, 0, 0, 0}),
                             Key("K", {Value("c", SnapshotString, {'x', 0, 0, 0}), Key("S")}), Key("L")}),
                     &back),
              SnapshotDecoded);
    // Top level: values reversed, then keys reversed; in a key, keys first.
    ASSERT_EQ(back.size(), 4u);
    EXPECT_EQ(back[0].name + back[1].name + back[2].name + back[3].name, u"baLK");
    ASSERT_EQ(back[3].children.size(), 2u);
    EXPECT_EQ(back[3].children[0].name, u"S");
    EXPECT_EQ(back[3].children[1].kind, SnapshotString);
}

TEST(SettingsSnapshot, DamagedFilesAreRefusedWhole)
{
    const std::vector<uint8_t> good = Encode(
        {Key("K", {Value("a", SnapshotDword, {1, 0, 0, 0})}), Value("s", SnapshotString, {'h', 0, 'i', 0, 0, 0})});
    std::vector<SnapshotEntry> back;
    EXPECT_EQ(DecodeSettingsSnapshot(good.data(), 17, &back), SnapshotTooShort);
    EXPECT_EQ(DecodeSettingsSnapshot(nullptr, 0, &back), SnapshotTooShort);
    for (int grow : {1, -1}) {
        std::vector<uint8_t> bytes = good;
        bytes.resize(bytes.size() + grow);
        EXPECT_EQ(Decode(bytes, &back), SnapshotSizeMismatch) << grow;
    }
    std::vector<uint8_t> old = good;
    old[5] = 0xFF;  // version 0x0000FFFF, below the first
    old[6] = 0;
    EXPECT_EQ(Decode(old, &back), SnapshotOldVersion);
    EXPECT_TRUE(back.empty());
    // Cut inside the last record with the size field kept consistent.
    EXPECT_EQ(Decode(std::vector<uint8_t>(good.begin(), good.end() - 2), &back, true), SnapshotRecordPastEnd);
    EXPECT_TRUE(back.empty());
    // Fewer than four bytes after a whole record end the list: the value
    // "s" is written first.
    ASSERT_EQ(Decode(std::vector<uint8_t>(good.begin(), good.begin() + 18 + 12 + 3), &back, true), SnapshotDecoded);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, u"s");
}

TEST(SettingsSnapshot, DeepNestingIsRefusedWithoutRecursingWithoutEnd)
{
    std::vector<uint8_t> bytes = Encode({});
    bytes[8] = 1;  // one top-level record
    for (int i = 0; i < 10000; ++i)
        bytes.insert(bytes.end(), {1, 1, 1, 0, 'k', 0});  // a key "k" claiming one child
    std::vector<SnapshotEntry> back;
    EXPECT_EQ(Decode(bytes, &back, true), SnapshotTooDeep);
    EXPECT_TRUE(back.empty());
}

}  // namespace
