#include <gtest/gtest.h>

#include <cstring>

#include "core/statistics_view.h"

namespace {

using namespace std::string_literals;

// A little-endian word, or text without its NUL: the blocks are zero-filled,
// so the room left decides.
void Put(std::vector<uint8_t>* b, size_t at, uint32_t value)
{
    std::memcpy(b->data() + at, &value, 4);
}

void Put(std::vector<uint8_t>* b, size_t at, const std::u16string& text)
{
    std::memcpy(b->data() + at, text.data(), 2 * text.size());
}

struct Entry {
    uint32_t key, viewSize;
    std::u16string name;
};

std::vector<uint8_t> Directory(uint32_t count, std::vector<Entry> entries)
{
    std::vector<uint8_t> b(MappingDirectorySize);
    Put(&b, 8, 0x1002);
    Put(&b, 16, count);
    for (size_t i = 0; i < entries.size(); ++i) {
        size_t at = MappingDirectoryHeaderSize + i * MappingDirectoryEntrySize;
        Put(&b, at + 16, entries[i].key);
        Put(&b, at + 20, entries[i].viewSize);
        Put(&b, at + 28, entries[i].name);
    }
    return b;
}

// Each interface's fields get values from its place, so a mixed-up offset shows.
std::vector<uint8_t> View(uint32_t count, const std::vector<std::u16string>& names)
{
    std::vector<uint8_t> b(StatisticsViewHeaderSize + names.size() * InterfaceCountersSize);
    Put(&b, 8, 0x2002);
    Put(&b, 32, count);
    for (size_t i = 0; i < names.size(); ++i) {
        size_t at = StatisticsViewHeaderSize + i * InterfaceCountersSize;
        Put(&b, at + 8, names[i]);
        for (uint32_t f = 0; f < 8; ++f)
            Put(&b, at + 1032 + 4 * f, uint32_t(100 * i + f));
    }
    return b;
}

// The entry's name and then its view size as one more unit, or nothing.
std::u16string Find(const std::vector<uint8_t>& directory)
{
    StatisticsMappingEntry e = {};
    return FindStatisticsMappingEntry(directory.data(), directory.size(), &e) ? e.mappingName + Char16(e.viewSize)
                                                                              : u"";
}

uint32_t Found(const std::vector<uint8_t>& view, const std::u16string& name)
{
    InterfaceCountersView c = {};
    return FindInterfaceCounters(view.data(), view.size(), name, &c) ? 1000 + c.receiveRate : 0;
}

// Damaged names and sizes are the fuzz target's to make.
TEST(MappingDirectory, HeaderAndTheFirstWholeAnnouncedEntryWithTheKey)
{
    std::vector<uint8_t> directory = Directory(3, {});
    MappingDirectoryHeader header;
    // Only bit 0 marks it invalid.
    for (uint8_t flags : {0xFE, 0x01}) {
        directory[20] = flags;
        ASSERT_TRUE(ReadMappingDirectoryHeader(directory.data(), directory.size(), &header));
        EXPECT_TRUE(header.identity.words[2] == 0x1002 && header.entryCount == 3 && header.invalid == (flags == 1));
    }

    const uint32_t K = StatisticsMappingKey, V = 100;
    const std::u16string longest(MappingNameBytes / 2 - 1, u'n');
    // 24 + 14 * 562 = 7892: the last whole entry.
    std::vector<Entry> fourteen(14, {1, V, u"x"});
    fourteen[13] = {K, V, u"Last"};
    EXPECT_EQ(Find(Directory(3, {{1, 9999, u"Other"}, {K, 17060, u"StatsA"}, {K, 500, u"StatsB"}})),
              u"StatsA"s + Char16(17060));
    EXPECT_EQ(Find(Directory(1, {{1, V, u"O"}, {K, V, u"Beyond"}})), u"");
    EXPECT_EQ(Find(Directory(14, fourteen)), u"Last"s + Char16(V));
    EXPECT_EQ(Find(Directory(1, {{K, V, longest}})), longest + Char16(V));
}

TEST(StatisticsView, OffsetsAndWholeNamesIgnoringTheCaseOfAToZOnly)
{
    std::vector<uint8_t> view = View(2, {u"WAN", u"Gigabit(R) LAN/1000"});
    view[16] = 0x03;
    // ConnectionTime's high word.
    Put(&view, StatisticsViewHeaderSize + InterfaceCountersSize + 1052, 0x12);
    StatisticsViewHeader header;
    ASSERT_TRUE(ReadStatisticsViewHeader(view.data(), view.size(), &header));
    EXPECT_TRUE(header.invalid && header.identity.words[2] == 0x2002 && header.interfaceCount == 2);
    InterfaceCountersView c;
    ASSERT_TRUE(FindInterfaceCounters(view.data(), view.size(), u"Gigabit(R) LAN/1000", &c));
    EXPECT_EQ(std::vector<uint64_t>({c.receiveRate, c.sendRate, c.receiveRateNoHeaders, c.sendRateNoHeaders,
                                     c.connectionTime, c.connected, c.linkSpeed}),
              std::vector<uint64_t>({100, 101, 102, 103, 0x1200000068ull, 106, 107}));

    // The fourth name fills its field: no NUL.
    std::u16string full(InterfaceCountersNameBytes / 2, u'x');
    view = View(5, {u"LAN 2", u"Carte \u00C9", u"LAN", full, full.substr(1)});
    EXPECT_EQ(Found(view, u"lan"), 1200u);
    EXPECT_EQ(Found(view, u"LA") + Found(view, full) + Found(view, u"carte \u00E9"), 0u);
    EXPECT_EQ(Found(view, full.substr(1)), 1400u);

    // Only the entries InterfaceCount announces; a count past the block is
    // the fuzz target's to make.
    EXPECT_EQ(Found(View(1, {u"A", u"B"}), u"B"), 0u);
}

}  // namespace
