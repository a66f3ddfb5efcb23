#include <gtest/gtest.h>

#include "prefs/settings_snapshot.h"

static SnapshotEntry Value(const char* name, uint8_t kind, std::vector<uint8_t> data)
{
    SnapshotEntry e;
    for (const char* c = name; *c; ++c)
        e.name.push_back(Char16(*c));
    e.kind = kind;
    e.data = std::move(data);
    return e;
}

static SnapshotEntry Key(const char* name, std::vector<SnapshotEntry> children)
{
    SnapshotEntry e = Value(name, SnapshotKey, {});
    e.children = std::move(children);
    return e;
}

// Decoded lists come in record order, which the writer reverses; compare as
// sets of names at each level.
static void ExpectSameTree(const std::vector<SnapshotEntry>& a, const std::vector<SnapshotEntry>& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (const SnapshotEntry& x : a) {
        const SnapshotEntry* match = nullptr;
        for (const SnapshotEntry& y : b)
            if (y.name == x.name && (y.kind == SnapshotKey) == (x.kind == SnapshotKey))
                match = &y;
        ASSERT_NE(match, nullptr);
        EXPECT_EQ(match->kind, x.kind);
        EXPECT_EQ(match->data, x.data);
        ExpectSameTree(x.children, match->children);
    }
}

TEST(SettingsSnapshot, OneValueAndOneEmptyKeyMakeThirtyFourBytes)
{
    std::vector<SnapshotEntry> top = {Value("v", SnapshotDword, {5, 0, 0, 0}), Key("k", {})};
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot(top, 0x0123456789ABCDEFull, &bytes);
    const std::vector<uint8_t> expected = {34,   0, 0, 0, 0, 0,   1, 0, 2, 0, 0xEF, 0xCD, 0xAB, 0x89, 0x67, 0x45, 0x23,
                                           0x01, 1, 8, 4, 0, 'v', 0, 5, 0, 0, 0,    1,    1,    0,    0,    'k',  0};
    EXPECT_EQ(bytes, expected);
}

TEST(SettingsSnapshot, ValuesAndKeysComeInTheWritersOrder)
{
    std::vector<SnapshotEntry> top = {Value("a", SnapshotDword, {1, 0, 0, 0}), Value("b", SnapshotDword, {2, 0, 0, 0}),
                                      Key("K", {Value("c", SnapshotString, {'x', 0, 0, 0}), Key("S", {})}),
                                      Key("L", {})};
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot(top, 0, &bytes);
    std::vector<SnapshotEntry> back;
    ASSERT_EQ(DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back), SnapshotDecoded);
    ASSERT_EQ(back.size(), 4u);
    // Top level: values reversed, then keys reversed; in a key, keys first.
    EXPECT_EQ(back[0].name, TEXT16("b"));
    EXPECT_EQ(back[1].name, TEXT16("a"));
    EXPECT_EQ(back[2].name, TEXT16("L"));
    EXPECT_EQ(back[3].name, TEXT16("K"));
    ASSERT_EQ(back[3].children.size(), 2u);
    EXPECT_EQ(back[3].children[0].name, TEXT16("S"));
    EXPECT_EQ(back[3].children[1].kind, SnapshotString);
}

TEST(SettingsSnapshot, LargeTreesOfEveryKindRoundTrip)
{
    std::vector<SnapshotEntry> top;
    const uint8_t kinds[] = {SnapshotString, SnapshotDword, SnapshotOther};
    for (int k = 0; k < 40; ++k) {
        std::vector<SnapshotEntry> children;
        for (int v = 0; v < 30; ++v) {
            std::string name = "Value" + std::to_string(v);
            std::vector<uint8_t> data(size_t(v * 37 % 300), uint8_t(v + k));
            children.push_back(Value(name.c_str(), kinds[v % 3], data));
        }
        children.push_back(Value("", SnapshotOther, {}));  // the default value, no data
        children.push_back(Key("Deeper", {Key("Deepest", {Value("x", SnapshotDword, {9, 9, 9, 9})})}));
        top.push_back(Key(("%04d" + std::to_string(k)).c_str(), children));
    }
    top.push_back(Value(std::string(255, 'n').c_str(), SnapshotOther, std::vector<uint8_t>(65535, 0xAA)));
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot(top, 1, &bytes);
    std::vector<SnapshotEntry> back;
    ASSERT_EQ(DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back), SnapshotDecoded);
    ExpectSameTree(top, back);
}

TEST(SettingsSnapshot, EntriesTheFormatCannotHoldAreLeftOut)
{
    std::vector<SnapshotEntry> top = {Value(std::string(256, 'n').c_str(), SnapshotDword, {1, 0, 0, 0}),
                                      Value("big", SnapshotOther, std::vector<uint8_t>(65536)),
                                      Value("ok", SnapshotDword, {1, 0, 0, 0})};
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot(top, 0, &bytes);
    std::vector<SnapshotEntry> back;
    ASSERT_EQ(DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back), SnapshotDecoded);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, TEXT16("ok"));
}

TEST(SettingsSnapshot, MissingKeyGivesTheBareHeaderWhichIsRefused)
{
    std::vector<uint8_t> bytes;
    EncodeSettingsSnapshot({}, 0, &bytes);
    ASSERT_EQ(bytes.size(), 18u);
    std::vector<SnapshotEntry> back;
    EXPECT_EQ(DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back), SnapshotEmpty);
}

class SnapshotRefusal : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<SnapshotEntry> top = {Key("K", {Value("a", SnapshotDword, {1, 0, 0, 0})}),
                                          Value("s", SnapshotString, {'h', 0, 'i', 0, 0, 0})};
        EncodeSettingsSnapshot(top, 0, &bytes);
    }
    SnapshotDecode Decode()
    {
        back.assign(1, SnapshotEntry());
        return DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back);
    }
    void SetTotal(uint32_t total)
    {
        for (int i = 0; i < 4; ++i)
            bytes[i] = uint8_t(total >> (8 * i));
    }
    std::vector<uint8_t> bytes;
    std::vector<SnapshotEntry> back;
};

TEST_F(SnapshotRefusal, HeaderChecks)
{
    std::vector<SnapshotEntry> none;
    EXPECT_EQ(DecodeSettingsSnapshot(bytes.data(), 17, &none), SnapshotTooShort);
    EXPECT_EQ(DecodeSettingsSnapshot(nullptr, 0, &none), SnapshotTooShort);
    SetTotal(uint32_t(bytes.size() + 1));
    EXPECT_EQ(Decode(), SnapshotSizeMismatch);
    SetTotal(uint32_t(bytes.size() - 1));
    EXPECT_EQ(Decode(), SnapshotSizeMismatch);
    SetTotal(uint32_t(bytes.size()));
    bytes[6] = 0;  // version 0x0000FFFF... lower than the first
    bytes[5] = 0xFF;
    EXPECT_EQ(Decode(), SnapshotOldVersion);
    EXPECT_TRUE(back.empty());
}

TEST_F(SnapshotRefusal, RecordRunningPastTheEndRefusesEverything)
{
    // Cut inside the last record, keeping the size field consistent.
    bytes.resize(bytes.size() - 2);
    SetTotal(uint32_t(bytes.size()));
    EXPECT_EQ(Decode(), SnapshotRecordPastEnd);
    EXPECT_TRUE(back.empty());
}

TEST_F(SnapshotRefusal, FewerThanFourBytesAfterACompleteRecordEndTheList)
{
    // The value record "s" is written first; drop the key and leave 3 bytes.
    size_t valueEnd = 18 + 4 + 2 + 6;
    bytes.resize(valueEnd + 3);
    SetTotal(uint32_t(bytes.size()));
    EXPECT_EQ(Decode(), SnapshotDecoded);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, TEXT16("s"));
}

TEST_F(SnapshotRefusal, NamesAreNotCheckedAtAll)
{
    // A restore fails only on its header checks, an overrun, an
    // allocation or a key creation: a name with '\\' or NUL in it decodes.
    const size_t valueName = 18 + 4;     // the value record's name unit
    const size_t keyName = 18 + 12 + 4;  // after the value record, the key's name unit
    bytes[valueName] = '\\';
    EXPECT_EQ(Decode(), SnapshotDecoded);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].name, TEXT16("\\"));
    bytes[keyName] = '\\';
    EXPECT_EQ(Decode(), SnapshotDecoded);
    EXPECT_EQ(back[1].name, TEXT16("\\"));
    bytes[keyName] = 0;
    EXPECT_EQ(Decode(), SnapshotDecoded);
    EXPECT_EQ(back[1].name, Text16(1, Char16(0)));

    std::vector<uint8_t> unnamed = {24, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0};
    unnamed[0] = uint8_t(unnamed.size());
    EXPECT_EQ(DecodeSettingsSnapshot(unnamed.data(), unnamed.size(), &back), SnapshotDecoded);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(back[0].name.empty());
}

TEST(SettingsSnapshot, DeepNestingIsRefusedWithoutRecursingWithoutEnd)
{
    // 10000 nested keys "k", each claiming one child.
    std::vector<uint8_t> bytes = {0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 10000; ++i)
        bytes.insert(bytes.end(), {1, 1, 1, 0, 'k', 0});
    uint32_t total = uint32_t(bytes.size());
    for (int i = 0; i < 4; ++i)
        bytes[i] = uint8_t(total >> (8 * i));
    std::vector<SnapshotEntry> back;
    EXPECT_EQ(DecodeSettingsSnapshot(bytes.data(), bytes.size(), &back), SnapshotTooDeep);
    EXPECT_TRUE(back.empty());
}
