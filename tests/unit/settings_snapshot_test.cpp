#include <gtest/gtest.h>

#include "prefs/settings_snapshot.h"

namespace {

SnapshotEntry Value(char16_t name, uint8_t kind, std::vector<uint8_t> data = {},
                    std::vector<SnapshotEntry> children = {})
{
    SnapshotEntry e;
    e.name = name, e.kind = kind, e.data = data, e.children = children;
    return e;
}

SnapshotEntry Key(char16_t name, std::vector<SnapshotEntry> children = {})
{
    return Value(name, SnapshotKey, {}, children);
}

std::vector<uint8_t> Encode(const std::vector<SnapshotEntry>& top, uint64_t time = 0)
{
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot(top, time, &bytes);
    return bytes;
}

// The stored total made to match the bytes; short files are the fuzz target's.
SnapshotDecode Decode(std::vector<uint8_t> bytes, std::vector<SnapshotEntry>* back)
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(bytes.size() >> (8 * i));
    back->assign(1, SnapshotEntry());
    return DecodeSettingsSnapshot(bytes.data(), bytes.size(), back);
}

// The layout; what a nested tree comes back as is the registry tests' to
// restore.
TEST(SettingsSnapshot, Layout)
{
    const std::vector<uint8_t> expected = {34,   0, 0, 0, 0, 0,   1, 0, 2, 0, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23,
                                           0x01, 1, 8, 4, 0, 'v', 0, 5, 0, 0, 0,    1,    1,    0,    0,    'k',  0};
    EXPECT_EQ(Encode({Value('v', SnapshotDword, {5, 0, 0, 0}), Key('k')}, 0x0123456789ABCDEFull), expected);
}

TEST(SettingsSnapshot, DamagedFilesAreRefusedWhole)
{
    const std::vector<uint8_t> good = Encode(
        {Key('K', {Value('a', SnapshotDword, {1, 0, 0, 0})}), Value('s', SnapshotString, {'h', 0, 'i', 0, 0, 0})});
    std::vector<SnapshotEntry> back;
    // A total that differs from the bytes received, either way; a missing key's bare header.
    for (size_t size : {good.size() - 1, good.size() + 1}) {
        std::vector<uint8_t> bytes = good;
        bytes.resize(size);
        EXPECT_EQ(DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back), SnapshotSizeMismatch) << size;
    }
    EXPECT_EQ(Decode(Encode({}), &back), SnapshotEmpty);
    // Version 0x0000FFFF, below the first.
    std::vector<uint8_t> old = good;
    old[5] = 0xFF, old[6] = 0;
    EXPECT_EQ(Decode(old, &back), SnapshotOldVersion);
    EXPECT_TRUE(back.empty());
    // Cut inside the last record.
    EXPECT_EQ(Decode(std::vector<uint8_t>(good.begin(), good.end() - 2), &back), SnapshotRecordPastEnd);
    EXPECT_TRUE(back.empty());
    // Fewer than four bytes after a whole record end the list: the value "s"
    // is written first.
    ASSERT_EQ(Decode(std::vector<uint8_t>(good.begin(), good.begin() + 18 + 12 + 3), &back), SnapshotDecoded);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, u"s");

    // Deep nesting is refused without recursing without end: one top-level
    // record, a key "k" claiming one child, over and over.
    std::vector<uint8_t> deep = Encode({});
    deep[8] = 1;
    for (int i = 0; i < 10000; ++i)
        deep.insert(deep.end(), {1, 1, 1, 0, 'k', 0});
    EXPECT_EQ(Decode(deep, &back), SnapshotTooDeep);
    EXPECT_TRUE(back.empty());
}

}  // namespace
