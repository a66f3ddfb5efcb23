#include "prefs/settings_snapshot_format.h"

#include <gtest/gtest.h>

namespace {

SnapshotNode Value(const char16_t* name, uint8_t kind, std::vector<uint8_t> data)
{
    SnapshotNode node;
    node.name = Text16(name, name + std::char_traits<char16_t>::length(name));
    node.kind = kind;
    node.data = std::move(data);
    return node;
}

SnapshotNode Key(const char16_t* name, std::vector<SnapshotNode> children)
{
    SnapshotNode node = Value(name, SnapshotKey, {});
    node.children = std::move(children);
    return node;
}

// Lists come out of the decoder reversed; this turns a tree around to
// compare it with what was encoded.
std::vector<SnapshotNode> Reversed(std::vector<SnapshotNode> nodes)
{
    std::reverse(nodes.begin(), nodes.end());
    for (SnapshotNode& node : nodes)
        node.children = Reversed(std::move(node.children));
    return nodes;
}

bool Same(const std::vector<SnapshotNode>& a, const std::vector<SnapshotNode>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].kind != b[i].kind || a[i].data != b[i].data ||
            !Same(a[i].children, b[i].children))
            return false;
    return true;
}

void PutU32(std::vector<uint8_t>* bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[at + i] = uint8_t(value >> (8 * i));
}

}  // namespace

TEST(SettingsSnapshot, OneValueAndOneEmptyKeyAreThirtyFourBytes)
{
    std::vector<uint8_t> bytes =
        EncodeSettingsSnapshot({Value(u"A", SnapshotDword, {5, 0, 0, 0}), Key(u"B", {})}, 0x0102030405060708ull);
    const std::vector<uint8_t> expected = {34, 0, 0, 0, 0, 0, 1, 0, 2, 0, 8, 7, 6, 5, 4, 3, 2, 1,  // header
                                           1, 8, 4, 0, 'A', 0, 5, 0, 0, 0,                      // the value
                                           1, 1, 0, 0, 'B', 0};                                 // the key
    EXPECT_EQ(expected, bytes);
}

TEST(SettingsSnapshot, TreesOfEveryKindSurviveTheRoundTrip)
{
    std::vector<SnapshotNode> monitors;
    for (int m = 0; m < 40; ++m) {
        std::vector<SnapshotNode> values;
        for (int v = 0; v < 30; ++v)
            values.push_back(Value(u"Value", uint8_t(v % 3 == 0 ? SnapshotDword : v % 3 == 1 ? SnapshotString : SnapshotOtherValue),
                                   std::vector<uint8_t>(size_t(v * 7 % 64), uint8_t(m + v))));
        values.push_back(Value(u"", SnapshotOtherValue, {}));  // the default value, no data
        monitors.push_back(Key(u"0000", std::move(values)));
    }
    std::vector<SnapshotNode> top = {Value(u"Top", SnapshotString, {'x', 0, 0, 0}),
                                     Key(u"Monitors", std::move(monitors)),
                                     Key(u"General", {Key(u"Deep", {Key(u"Deeper", {Value(u"Big", 2, std::vector<uint8_t>(65535, 9))})})})};
    std::vector<uint8_t> bytes = EncodeSettingsSnapshot(top, 7);
    std::vector<SnapshotNode> decoded;
    ASSERT_EQ(SnapshotGood, DecodeSettingsSnapshot(bytes.data(), uint32_t(bytes.size()), &decoded));
    EXPECT_TRUE(Same(top, Reversed(decoded)));
}

TEST(SettingsSnapshot, DamagedSnapshotsAreRefusedWhole)
{
    std::vector<SnapshotNode> out;
    const std::vector<uint8_t> good =
        EncodeSettingsSnapshot({Key(u"General", {Value(u"Flag", SnapshotOtherValue, {1})}), Value(u"V", SnapshotDword, {1, 2, 3, 4})}, 0);

    EXPECT_EQ(SnapshotTooShort, DecodeSettingsSnapshot(good.data(), 17, &out));
    EXPECT_EQ(SnapshotTooShort, DecodeSettingsSnapshot(nullptr, 0, &out));
    // The size received one byte off the stored total, either way.
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_EQ(SnapshotSizeMismatch, DecodeSettingsSnapshot(longer.data(), uint32_t(longer.size()), &out));
    EXPECT_EQ(SnapshotSizeMismatch, DecodeSettingsSnapshot(good.data(), uint32_t(good.size() - 1), &out));

    std::vector<uint8_t> damaged = good;
    damaged[8] = damaged[9] = 0;
    EXPECT_EQ(SnapshotNoRecords, DecodeSettingsSnapshot(damaged.data(), uint32_t(damaged.size()), &out));
    damaged = good;
    PutU32(&damaged, 4, 0xFFFF);
    EXPECT_EQ(SnapshotOldVersion, DecodeSettingsSnapshot(damaged.data(), uint32_t(damaged.size()), &out));

    // A value longer than the rest of the snapshot.
    damaged = good;
    damaged[18 + 4 + 14 + 3] = 0x10;  // "Flag": data size 0x1001
    EXPECT_EQ(SnapshotPastEnd, DecodeSettingsSnapshot(damaged.data(), uint32_t(damaged.size()), &out));
    EXPECT_TRUE(out.empty());

    // Every cut inside the records, with the total fixed to match the cut:
    // refused, or the records before the cut when under 4 bytes remain.
    for (size_t cut = 18; cut < good.size(); ++cut) {
        std::vector<uint8_t> part(good.begin(), good.begin() + long(cut));
        PutU32(&part, 0, uint32_t(cut));
        SnapshotStatus status = DecodeSettingsSnapshot(part.data(), uint32_t(cut), &out);
        EXPECT_TRUE(status == SnapshotPastEnd || status == SnapshotGood) << cut;
        EXPECT_TRUE(status == SnapshotGood || out.empty()) << cut;
    }

    // A key name that would make a path, or none at all.
    for (const char16_t* name : {u"A\\B", u""}) {
        std::vector<uint8_t> bad = EncodeSettingsSnapshot({Key(name, {})}, 0);
        EXPECT_EQ(SnapshotBadKeyName, DecodeSettingsSnapshot(bad.data(), uint32_t(bad.size()), &out));
    }
}

TEST(SettingsSnapshot, CutAfterAWholeRecordKeepsTheRecordsBefore)
{
    std::vector<uint8_t> bytes =
        EncodeSettingsSnapshot({Value(u"A", SnapshotDword, {5, 0, 0, 0}), Value(u"B", SnapshotDword, {6, 0, 0, 0})}, 0);
    bytes.resize(18 + 10 + 3);  // the first record and three bytes of the second
    PutU32(&bytes, 0, uint32_t(bytes.size()));
    std::vector<SnapshotNode> out;
    ASSERT_EQ(SnapshotGood, DecodeSettingsSnapshot(bytes.data(), uint32_t(bytes.size()), &out));
    ASSERT_EQ(1u, out.size());
    EXPECT_EQ(Text16(1, Char16('A')), out[0].name);
}

TEST(SettingsSnapshot, NestingBeyondTheLimitIsRefused)
{
    SnapshotNode deep = Key(u"K", {});
    for (int level = 1; level < SnapshotMaxDepth; ++level)
        deep = Key(u"K", {deep});
    std::vector<uint8_t> fits = EncodeSettingsSnapshot({deep}, 0);
    std::vector<SnapshotNode> out;
    EXPECT_EQ(SnapshotGood, DecodeSettingsSnapshot(fits.data(), uint32_t(fits.size()), &out));
    std::vector<uint8_t> tooDeep = EncodeSettingsSnapshot({Key(u"K", {deep})}, 0);
    EXPECT_EQ(SnapshotTooDeep, DecodeSettingsSnapshot(tooDeep.data(), uint32_t(tooDeep.size()), &out));
    EXPECT_TRUE(out.empty());
}
