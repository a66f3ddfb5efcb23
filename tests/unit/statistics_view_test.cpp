#include <gtest/gtest.h>

#include <cstring>

#include "core/statistics_view.h"

namespace {

void PutU32(std::vector<uint8_t>* bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[at + i] = uint8_t(value >> (8 * i));
}

// Writes the text without a NUL; the block is zero-filled, so the caller
// decides whether one follows by the room it leaves.
void PutText(std::vector<uint8_t>* bytes, size_t at, const std::u16string& text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        (*bytes)[at + 2 * i] = uint8_t(text[i]);
        (*bytes)[at + 2 * i + 1] = uint8_t(text[i] >> 8);
    }
}

std::vector<uint8_t> Directory(uint32_t entryCount)
{
    std::vector<uint8_t> bytes(MappingDirectorySize);
    for (uint32_t w = 0; w < 4; ++w)
        PutU32(&bytes, 4 * w, 0x1000 + w);
    PutU32(&bytes, 16, entryCount);
    return bytes;
}

void PutEntry(std::vector<uint8_t>* directory, uint32_t index, uint32_t key, uint32_t viewSize,
              const std::u16string& name)
{
    size_t at = MappingDirectoryHeaderSize + size_t(index) * MappingDirectoryEntrySize;
    PutU32(directory, at + 16, key);
    PutU32(directory, at + 20, viewSize);
    PutText(directory, at + 28, name);
}

std::vector<uint8_t> View(uint32_t interfaceCount, size_t entries)
{
    std::vector<uint8_t> bytes(StatisticsViewHeaderSize + entries * InterfaceCountersSize);
    for (uint32_t w = 0; w < 4; ++w)
        PutU32(&bytes, 4 * w, 0x2000 + w);
    PutU32(&bytes, 32, interfaceCount);
    return bytes;
}

// Each field gets a value derived from the seed, so a mixed-up offset shows.
void PutCounters(std::vector<uint8_t>* view, size_t index, const std::u16string& name, uint32_t seed)
{
    size_t at = StatisticsViewHeaderSize + index * InterfaceCountersSize;
    PutText(view, at + 8, name);
    for (uint32_t f = 0; f < 8; ++f)
        PutU32(view, at + 1032 + 4 * f, seed + f);
}

bool Find(const std::vector<uint8_t>& view, const std::u16string& name, InterfaceCountersView* out)
{
    return FindInterfaceCounters(view.data(), view.size(), name, out);
}

TEST(MappingDirectory, HeaderGivesIdentityCountAndOnlyBitZeroAsInvalid)
{
    std::vector<uint8_t> directory = Directory(3);
    directory[20] = 0xFE;
    MappingDirectoryHeader header;
    ASSERT_TRUE(ReadMappingDirectoryHeader(directory.data(), directory.size(), &header));
    EXPECT_EQ(0x1002u, header.identity.words[2]);
    EXPECT_EQ(3u, header.entryCount);
    EXPECT_FALSE(header.invalid);
    directory[20] = 0x01;
    ASSERT_TRUE(ReadMappingDirectoryHeader(directory.data(), directory.size(), &header));
    EXPECT_TRUE(header.invalid);
    EXPECT_FALSE(ReadMappingDirectoryHeader(directory.data(), MappingDirectoryHeaderSize - 1, &header));
}

TEST(MappingDirectory, FirstEntryWithTheStatisticsKeyWins)
{
    std::vector<uint8_t> directory = Directory(3);
    PutEntry(&directory, 0, 1, 9999, u"Other");
    PutEntry(&directory, 1, StatisticsMappingKey, 17060, u"StatsA");
    PutEntry(&directory, 2, StatisticsMappingKey, 500, u"StatsB");
    StatisticsMappingEntry entry;
    ASSERT_TRUE(FindStatisticsMappingEntry(directory.data(), directory.size(), &entry));
    EXPECT_EQ(u"StatsA", entry.mappingName);
    EXPECT_EQ(17060u, entry.viewSize);

    // An entry beyond EntryCount is not looked at.
    std::vector<uint8_t> shortCount = Directory(1);
    PutEntry(&shortCount, 1, StatisticsMappingKey, 100, u"Beyond");
    EXPECT_FALSE(FindStatisticsMappingEntry(shortCount.data(), shortCount.size(), &entry));
}

TEST(MappingDirectory, EntriesThatDoNotFitTheViewAreNotRead)
{
    // 24 + 14 * 562 = 7892: the fourteenth entry is the last whole one.
    std::vector<uint8_t> directory = Directory(14);
    PutEntry(&directory, 13, StatisticsMappingKey, 100, u"Last");
    StatisticsMappingEntry entry;
    ASSERT_TRUE(FindStatisticsMappingEntry(directory.data(), directory.size(), &entry));
    EXPECT_EQ(u"Last", entry.mappingName);

    // Counts far past the end, on an exact-size block: the sanitizer
    // reports any read beyond it.
    std::vector<uint8_t> huge = Directory(0xFFFFFFFFu);
    EXPECT_FALSE(FindStatisticsMappingEntry(huge.data(), huge.size(), &entry));
}

TEST(MappingDirectory, DamagedStatisticsEntryIsRefusedWithoutFallback)
{
    StatisticsMappingEntry entry;
    std::u16string longest(MappingNameBytes / 2 - 1, u'n');
    std::vector<uint8_t> directory = Directory(1);
    PutEntry(&directory, 0, StatisticsMappingKey, 100, longest);
    ASSERT_TRUE(FindStatisticsMappingEntry(directory.data(), directory.size(), &entry));
    EXPECT_EQ(longest, entry.mappingName);

    // One character more fills the field and leaves no NUL.
    std::vector<uint8_t> noNul = Directory(2);
    PutEntry(&noNul, 0, StatisticsMappingKey, 100, longest + u"n");
    PutEntry(&noNul, 1, StatisticsMappingKey, 100, u"Good");
    EXPECT_FALSE(FindStatisticsMappingEntry(noNul.data(), noNul.size(), &entry));

    // A view too small for its own header could not be checked.
    std::vector<uint8_t> tiny = Directory(1);
    PutEntry(&tiny, 0, StatisticsMappingKey, StatisticsViewHeaderSize - 1, u"Tiny");
    EXPECT_FALSE(FindStatisticsMappingEntry(tiny.data(), tiny.size(), &entry));
}

TEST(StatisticsView, HeaderAndCountersAreReadFromTheirOffsets)
{
    std::vector<uint8_t> view = View(2, 2);
    view[16] = 0x03;
    PutCounters(&view, 0, u"WAN", 100);
    PutCounters(&view, 1, u"Gigabit(R) LAN/1000", 200);
    PutU32(&view, StatisticsViewHeaderSize + InterfaceCountersSize + 1052, 0x12);  // ConnectionTime high word

    StatisticsViewHeader header;
    ASSERT_TRUE(ReadStatisticsViewHeader(view.data(), view.size(), &header));
    EXPECT_TRUE(header.invalid);
    EXPECT_EQ(0x2002u, header.identity.words[2]);
    EXPECT_EQ(2u, header.interfaceCount);
    EXPECT_FALSE(ReadStatisticsViewHeader(view.data(), StatisticsViewHeaderSize - 1, &header));

    InterfaceCountersView counters;
    ASSERT_TRUE(Find(view, u"Gigabit(R) LAN/1000", &counters));
    EXPECT_EQ(200u, counters.receiveRate);
    EXPECT_EQ(201u, counters.sendRate);
    EXPECT_EQ(202u, counters.receiveRateNoHeaders);
    EXPECT_EQ(203u, counters.sendRateNoHeaders);
    EXPECT_EQ(0x12000000CCull, counters.connectionTime);
    EXPECT_EQ(206u, counters.connected);
    EXPECT_EQ(207u, counters.linkSpeed);
}

TEST(StatisticsView, NamesMatchWholeIgnoringTheCaseOfAToZOnly)
{
    std::u16string full(InterfaceCountersNameBytes / 2, u'x');
    std::vector<uint8_t> view = View(5, 5);
    PutCounters(&view, 0, u"LAN 2", 10);
    PutCounters(&view, 1, u"Carte \u00C9", 20);
    PutCounters(&view, 2, u"LAN", 30);
    PutCounters(&view, 3, full, 40);  // fills its field: no NUL
    PutCounters(&view, 4, full.substr(1), 50);
    InterfaceCountersView counters;
    ASSERT_TRUE(Find(view, u"lan", &counters));
    EXPECT_EQ(30u, counters.receiveRate);  // not the entry it is a prefix of
    EXPECT_TRUE(Find(view, u"CARTE \u00C9", &counters));
    EXPECT_FALSE(Find(view, u"Carte \u00E9", &counters));
    EXPECT_FALSE(Find(view, u"LA", &counters));
    EXPECT_FALSE(Find(view, full, &counters));
    ASSERT_TRUE(Find(view, full.substr(1), &counters));
    EXPECT_EQ(50u, counters.receiveRate);
}

TEST(StatisticsView, OnlyAnnouncedEntriesThatFitAreSearched)
{
    InterfaceCountersView counters;
    std::vector<uint8_t> view = View(2, 2);
    PutCounters(&view, 0, u"A", 1);
    PutCounters(&view, 1, u"B", 2);
    // InterfaceCount says how many are live, whatever follows.
    PutU32(&view, 32, 1);
    EXPECT_TRUE(Find(view, u"A", &counters));
    EXPECT_FALSE(Find(view, u"B", &counters));

    // A count past the mapped size: the entry cut by the end is skipped,
    // and nothing is read beyond the exact-size block.
    PutU32(&view, 32, 0x7FFFFFFF);
    view.resize(view.size() - 1);
    view.shrink_to_fit();
    EXPECT_TRUE(Find(view, u"A", &counters));
    EXPECT_FALSE(Find(view, u"B", &counters));
    EXPECT_FALSE(Find(view, u"C", &counters));
}

}  // namespace
