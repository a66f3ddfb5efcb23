#include <gtest/gtest.h>

#include <cstring>

#include "core/statistics_view.h"

namespace {

// The host is little-endian, like the service's block.
void PutU32(std::vector<uint8_t>* bytes, size_t at, uint32_t value)
{
    std::memcpy(bytes->data() + at, &value, 4);
}

// No NUL is written: the block is zero-filled, so the room left decides.
void PutText(std::vector<uint8_t>* bytes, size_t at, const std::u16string& text)
{
    std::memcpy(bytes->data() + at, text.data(), 2 * text.size());
}

struct Entry {
    uint32_t key, viewSize;
    std::u16string name;
};

std::vector<uint8_t> Directory(uint32_t entryCount, std::vector<Entry> entries)
{
    std::vector<uint8_t> bytes(MappingDirectorySize);
    for (uint32_t w = 0; w < 4; ++w)
        PutU32(&bytes, 4 * w, 0x1000 + w);
    PutU32(&bytes, 16, entryCount);
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t at = MappingDirectoryHeaderSize + i * MappingDirectoryEntrySize;
        PutU32(&bytes, at + 16, entries[i].key);
        PutU32(&bytes, at + 20, entries[i].viewSize);
        PutText(&bytes, at + 28, entries[i].name);
    }
    return bytes;
}

// Each interface's fields get values from its seed, so a mixed-up offset shows.
std::vector<uint8_t> View(uint32_t interfaceCount, const std::vector<std::u16string>& names)
{
    std::vector<uint8_t> bytes(StatisticsViewHeaderSize + names.size() * InterfaceCountersSize);
    for (uint32_t w = 0; w < 4; ++w)
        PutU32(&bytes, 4 * w, 0x2000 + w);
    PutU32(&bytes, 32, interfaceCount);
    for (size_t i = 0; i < names.size(); ++i) {
        size_t at = StatisticsViewHeaderSize + i * InterfaceCountersSize;
        PutText(&bytes, at + 8, names[i]);
        for (uint32_t f = 0; f < 8; ++f)
            PutU32(&bytes, at + 1032 + 4 * f, uint32_t(100 * i + f));
    }
    return bytes;
}

uint32_t Found(const std::vector<uint8_t>& view, const std::u16string& name)
{
    InterfaceCountersView counters = {};
    return FindInterfaceCounters(view.data(), view.size(), name, &counters) ? 1000 + counters.receiveRate : 0;
}

TEST(MappingDirectory, HeaderGivesIdentityCountAndOnlyBitZeroAsInvalid)
{
    std::vector<uint8_t> directory = Directory(3, {});
    MappingDirectoryHeader header;
    for (uint8_t flags : {0xFE, 0x01}) {
        directory[20] = flags;
        ASSERT_TRUE(ReadMappingDirectoryHeader(directory.data(), directory.size(), &header));
        EXPECT_EQ(0x1002u, header.identity.words[2]);
        EXPECT_EQ(3u, header.entryCount);
        EXPECT_EQ(flags == 1, header.invalid);
    }
    EXPECT_FALSE(ReadMappingDirectoryHeader(directory.data(), MappingDirectoryHeaderSize - 1, &header));
}

TEST(MappingDirectory, FirstWholeAnnouncedEntryWithTheStatisticsKeyWinsAndADamagedOneIsFinal)
{
    const uint32_t K = StatisticsMappingKey, V = 100;
    const std::u16string longest(MappingNameBytes / 2 - 1, u'n');
    std::vector<Entry> fourteen(14, {1, V, u"x"});
    fourteen[13] = {K, V, u"Last"};  // 24 + 14 * 562 = 7892: the last whole one
    const struct {
        const char* what;
        std::vector<uint8_t> directory;
        std::u16string name;  // empty: none found
        uint32_t viewSize;
    } rows[] = {
        {"first wins", Directory(3, {{1, 9999, u"Other"}, {K, 17060, u"StatsA"}, {K, 500, u"StatsB"}}), u"StatsA",
         17060},
        {"beyond the count", Directory(1, {{1, V, u"O"}, {K, V, u"Beyond"}}), u"", 0},
        {"last whole entry", Directory(14, fourteen), u"Last", V},
        {"count past the end", Directory(0xFFFFFFFFu, {}), u"", 0},
        {"longest name", Directory(1, {{K, V, longest}}), longest, V},
        {"no NUL", Directory(2, {{K, V, longest + u"n"}, {K, V, u"Good"}}), u"", 0},
        {"view too small", Directory(1, {{K, StatisticsViewHeaderSize - 1, u"Tiny"}}), u"", 0},
    };
    for (const auto& r : rows) {
        StatisticsMappingEntry entry = {};
        EXPECT_EQ(!r.name.empty(), FindStatisticsMappingEntry(r.directory.data(), r.directory.size(), &entry))
            << r.what;
        if (!r.name.empty()) {
            EXPECT_EQ(r.name, entry.mappingName) << r.what;
            EXPECT_EQ(r.viewSize, entry.viewSize) << r.what;
        }
    }
}

TEST(StatisticsView, HeaderAndCountersAreReadFromTheirOffsets)
{
    std::vector<uint8_t> view = View(2, {u"WAN", u"Gigabit(R) LAN/1000"});
    view[16] = 0x03;
    PutU32(&view, StatisticsViewHeaderSize + InterfaceCountersSize + 1052, 0x12);  // ConnectionTime high word
    StatisticsViewHeader header;
    ASSERT_TRUE(ReadStatisticsViewHeader(view.data(), view.size(), &header));
    EXPECT_TRUE(header.invalid);
    EXPECT_EQ(0x2002u, header.identity.words[2]);
    EXPECT_EQ(2u, header.interfaceCount);
    EXPECT_FALSE(ReadStatisticsViewHeader(view.data(), StatisticsViewHeaderSize - 1, &header));
    InterfaceCountersView c;
    ASSERT_TRUE(FindInterfaceCounters(view.data(), view.size(), u"Gigabit(R) LAN/1000", &c));
    const uint64_t got[] = {c.receiveRate, c.sendRate, c.receiveRateNoHeaders, c.sendRateNoHeaders, c.connectionTime,
                            c.connected,   c.linkSpeed};
    const uint64_t want[] = {100, 101, 102, 103, 0x1200000068ull, 106, 107};
    EXPECT_EQ(std::vector<uint64_t>(got, got + 7), std::vector<uint64_t>(want, want + 7));
}

TEST(StatisticsView, NamesMatchWholeIgnoringTheCaseOfAToZOnly)
{
    std::u16string full(InterfaceCountersNameBytes / 2, u'x');
    // The fourth name fills its field: no NUL.
    std::vector<uint8_t> view = View(5, {u"LAN 2", u"Carte \u00C9", u"LAN", full, full.substr(1)});
    EXPECT_EQ(1200u, Found(view, u"lan"));  // not the entry it is a prefix of
    EXPECT_EQ(0u, Found(view, u"LA"));
    EXPECT_EQ(0u, Found(view, full));
    EXPECT_EQ(1400u, Found(view, full.substr(1)));
}

TEST(StatisticsView, OnlyAnnouncedEntriesThatFitAreSearched)
{
    std::vector<uint8_t> view = View(1, {u"A", u"B"});
    EXPECT_EQ(1000u, Found(view, u"A"));
    EXPECT_EQ(0u, Found(view, u"B"));  // InterfaceCount says how many are live
    // A count past the mapped size: the cut entry is skipped, and nothing is
    // read beyond the exact-size block.
    PutU32(&view, 32, 0x7FFFFFFF);
    view.resize(view.size() - 1);
    view.shrink_to_fit();
    EXPECT_EQ(1000u, Found(view, u"A"));
    EXPECT_EQ(0u, Found(view, u"B"));
}

}  // namespace
