#include <gtest/gtest.h>

#include <vector>

#include "diagram_fixture.h"

namespace {

std::vector<uint32_t> Gradient(uint32_t rows, uint32_t start, uint32_t middle, uint32_t end)
{
    std::vector<uint32_t> table(rows, 0xFFFFFFFF);
    FillGradient(table.data(), rows, start, middle, end);
    return table;
}

TEST(DiagramGradient, EndsAndMiddleSitWhereTheyShould)
{
    const uint32_t S = 0x00102030, M = 0x00F08040, E = 0x000000FF;
    EXPECT_EQ(Gradient(1, S, M, E), (std::vector<uint32_t>{S}));
    EXPECT_EQ(Gradient(2, S, M, E), (std::vector<uint32_t>{S, E}));
    EXPECT_EQ(Gradient(3, S, M, E), (std::vector<uint32_t>{S, M, E}));
    // Per channel: 0x10 -> 0xF0 -> 0x00, 0x20 -> 0x80 -> 0x00, 0x30 -> 0x40 -> 0xFF.
    EXPECT_EQ(Gradient(5, S, M, E), (std::vector<uint32_t>{S, 0x00805038, M, 0x0078409F, E}));
    for (uint32_t rows : {64u, 57u}) {
        const std::vector<uint32_t> table = Gradient(rows, S, M, E);
        EXPECT_EQ(table[rows - rows / 2 - 1], M) << rows;
        EXPECT_EQ(table[rows - 1], E) << rows;
    }
    // The second segment starts one step past the middle: 0xF0 - 0xF0 / 32.
    EXPECT_EQ(Gradient(64, S, M, E)[32] >> 16, 0xE8u);
}

TEST(DiagramLayout, OddHeightGivesTheSendHalfTheExtraRow)
{
    TestDiagram t(200, 128, true);
    EXPECT_EQ(t.d.areaHeight, 115u);
    EXPECT_EQ(t.d.receive.height, 57u);
    EXPECT_EQ(t.d.send.height, 58u);
    EXPECT_EQ(t.d.send.top, 57);
    EXPECT_EQ(t.d.send.bottom, 115);
    EXPECT_FLOAT_EQ(t.d.receive.lineStep, 5.7f);
    EXPECT_EQ(t.d.stripTop, 115);
    EXPECT_EQ(t.d.stripHeight, 13);
    t.d.timeArrow = false;
    t.Layout(200, 128);
    EXPECT_EQ(t.d.receive.height, 64u);
    EXPECT_EQ(t.d.send.height, 64u);
    EXPECT_EQ(t.d.stripWidth, 0);
}

TEST(DiagramLayout, HistoriesOutliveALayout)
{
    TestDiagram t(30, 40);
    t.Add(700, 300);
    t.Add(350, 150);
    uint64_t* history = t.d.receive.history;
    t.Layout(50, 60);
    EXPECT_EQ(t.d.receive.history, history);
    EXPECT_EQ(t.BarRows(t.d.receive, 49), 15u);
    EXPECT_EQ(t.BarRows(t.d.send, 49), 15u);
}

TEST(DiagramLayout, TimeSpanTextIsTheWidthInSecondsCentred)
{
    TestDiagram t(192, 100, true);
    EXPECT_EQ(Text16(t.d.timeText), u" 3:12 ");
    auto box = [&] {
        return std::vector<int32_t>({t.d.timeTextLeft, t.d.timeTextTop, t.d.timeTextRight, t.d.timeTextBottom});
    };
    PlaceTimeText(&t.d, 31, 11);
    EXPECT_EQ(box(), std::vector<int32_t>({80, 88, 111, 99}));
    PlaceTimeText(&t.d, 500, 40);  // clamped to the strip
    EXPECT_EQ(box(), std::vector<int32_t>({0, 87, 192, 100}));
    TestDiagram narrow(59, 100, true);
    EXPECT_EQ(Text16(narrow.d.timeText), u" 0:59 ");
}

}  // namespace
