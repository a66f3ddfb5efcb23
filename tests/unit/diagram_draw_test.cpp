// A diagram with the default colours over a plain pixel buffer, read back
// the way a paint shows it: x counts screen columns from the left, rows
// count upwards from a half's bottom row.
#include <gtest/gtest.h>

#include <vector>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_model.h"
#include "monitor/monitor_settings.h"

namespace {

// Not a default colour, so grid columns stand out from grid rows.
const uint32_t VerticalColor = 0x00303030;

struct Diagram {
    MonitorDiagram d = {};
    std::vector<uint32_t> image;
    bool equalScale = false;

    // 20 x 40 by default: 20 columns, halves of 20 rows.
    Diagram(int32_t width = 20, int32_t height = 40, bool timeArrow = false, bool verticalLines = false)
    {
        MonitorSettings settings;
        SetMonitorDefaults(&settings);
        settings.flags[EnableTimeArrow] = timeArrow;
        settings.flags[EnableVerticalLines] = verticalLines;
        TakeDiagramSettings(settings, &d);
        d.receive.verticalLineColor = d.send.verticalLineColor = VerticalColor;
        Layout(width, height);
    }
    ~Diagram()
    {
        ReleaseDiagram(&d);
    }
    void Layout(int32_t width, int32_t height)
    {
        ASSERT_TRUE(LayoutDiagram(&d, width, height));
        image.assign(size_t(d.areaWidth) * d.areaHeight, 0xDEADBEEF);
        d.pixels = image.data();
        RedrawDiagram(&d, equalScale);
    }
    void Add(uint32_t receive, uint32_t send, uint32_t connections = 1)
    {
        AddDiagramSample(&d, receive, send, connections, equalScale);
    }
    uint32_t At(const DiagramHalf& half, uint32_t x, uint32_t row) const
    {
        return image[size_t(half.top + row) * d.areaWidth + (d.columnCursor + x) % d.areaWidth];
    }
    // Rows of bar from the half's bottom up, and only grid above them.
    uint32_t Bar(const DiagramHalf& half, uint32_t x) const
    {
        auto grid = [&](uint32_t row) {
            return At(half, x, row) == half.gridColumn[row] || At(half, x, row) == VerticalColor;
        };
        uint32_t rows = 0;
        while (rows < half.height && !grid(rows))
            ++rows;
        for (uint32_t row = rows; row < half.height; ++row)
            EXPECT_TRUE(grid(row)) << "bar pixel above the bar at x " << x << " row " << row;
        return rows;
    }
};

// Expected rows as the service's reference drawing truncates them in double
// arithmetic: 9 / (9 / 7.0) falls just short of 7; a millionth of the peak
// still shows one pixel.
TEST(DiagramBars, HeightFromThePeakColourFromTheMaximumSpeed)
{
    const uint32_t rows[][5] = {
        {20, 1, 1000000, 1000000, 1}, {9, 7, 9, 9, 6}, {4000, 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFF, 3999}};
    for (const auto& r : rows) {
        DiagramHalf half = {};
        half.height = r[0], half.peak = r[2], half.maxSpeed = 1;
        EXPECT_EQ(BarRows(half, r[1], r[3]), r[4]) << r[0] << " " << r[1];
    }
    Diagram t, half;
    t.Add(0, 0);
    t.Add(1000, 0);
    EXPECT_EQ(t.Bar(t.d.receive, 18) + t.Bar(t.d.send, 19), 0u);
    EXPECT_EQ(t.Bar(t.d.receive, 19), 20u);
    EXPECT_EQ(t.At(t.d.receive, 19, 19), t.d.receive.barEnd);
    EXPECT_EQ(t.At(t.d.receive, 19, 0), t.d.receive.barStart);
    // The link speed, raised by the sampler.
    half.d.receive.maxSpeed = 2000;
    half.Add(1000, 0);
    EXPECT_EQ(half.Bar(half.d.receive, 19), 20u);
    EXPECT_EQ(half.At(half.d.receive, 19, 19), half.d.receive.gradient[9]);
}

// The peak leaves W seconds after it came and the whole diagram rescales;
// the maximum speed is never lowered.
TEST(DiagramBars, PeakScrollingOutAndEqualScale)
{
    Diagram t;
    t.Add(1000, 0);
    for (int i = 0; i < 19; ++i)
        t.Add(500, 0);
    EXPECT_EQ(t.Bar(t.d.receive, 0), 20u);
    EXPECT_EQ(t.Bar(t.d.receive, 1), 10u);
    t.Add(500, 0);
    EXPECT_TRUE(t.d.receive.peak == 500 && t.d.columnCursor == 0 && t.d.receive.maxSpeed == 1000);
    for (uint32_t x = 0; x < 20; ++x)
        ASSERT_EQ(t.Bar(t.d.receive, x), 20u) << x;
    // Equal scale holds the smaller direction below its share.
    for (bool equal : {false, true}) {
        Diagram e;
        e.equalScale = equal;
        for (int i = 0; i < 25; ++i)
            e.Add(i == 10 ? 1000 : 100, i == 7 ? 500 : 50);
        EXPECT_EQ(e.Bar(e.d.send, 2), equal ? 10u : 20u);
        EXPECT_EQ(e.Bar(e.d.send, 19), equal ? 1u : 2u);
        EXPECT_EQ(e.Bar(e.d.receive, 19), 2u);
    }
}

// Samples equal to the peak are not counted on arrival, so the count from the
// last scan runs out W = 20 seconds later and a full redraw scans again; the
// scan crosses the history's wrap.
TEST(DiagramBars, PeakCountAndScanAcrossTheWrap)
{
    Diagram t, ring;
    for (uint32_t tick = 1; tick <= 70; ++tick)
        t.Add(1000, 0);
    // 20 at tick 61, less the nine that left since.
    EXPECT_EQ(t.d.receive.peakCount, 11u);
    for (uint32_t i = 1; i <= HistoryCapacity + 10; ++i)
        ring.Add(i == HistoryCapacity - 2 ? 5000 : 10, 0);
    ASSERT_EQ(ring.d.newest, 10u);
    ScanPeaks(&ring.d);
    EXPECT_TRUE(ring.d.receive.peak == 5000 && ring.d.receive.peakCount == 1);
    EXPECT_EQ(ring.Bar(ring.d.receive, 7), 20u);
    EXPECT_EQ(ring.Bar(ring.d.receive, 19), 1u);
}

// Rows at tenths, columns eleven apart travelling left through a whole
// phase; the phase goes back to zero only on the one-column path, a full
// redraw keeps it running.
TEST(DiagramGrid, RowsColumnsAndPhase)
{
    Diagram t(40, 40, false, true);
    for (uint32_t row = 0; row < 20; ++row)
        EXPECT_EQ(t.At(t.d.receive, 7, row) == t.d.receive.horizontalLineColor, row % 2 == 0 || row == 19) << row;
    for (uint32_t tick = 0; tick <= 10; ++tick) {
        std::vector<uint32_t> got, expected;
        for (uint32_t x = 1; x < 40; ++x)
            if (t.At(t.d.receive, x, 5) == VerticalColor && t.At(t.d.send, x, 5) == VerticalColor)
                got.push_back(x);
        for (int x = 39 - int(tick % 11); x > 0; x -= 11)
            expected.insert(expected.begin(), uint32_t(x));
        ASSERT_EQ(got, expected) << "tick " << tick;
        if (tick < 10)
            t.Add(0, 0);
    }
    t.Add(500, 0);
    EXPECT_EQ(t.d.verticalPhase, 11u);
    EXPECT_TRUE(t.At(t.d.send, 28, 5) == VerticalColor && t.At(t.d.send, 39, 5) != VerticalColor);
    t.Add(100, 0);
    EXPECT_EQ(t.d.verticalPhase, 0u);
    EXPECT_TRUE(t.At(t.d.send, 39, 5) == VerticalColor && t.At(t.d.send, 27, 5) == VerticalColor);
}

// A cleared half is the monitor tests' to see end to end.
TEST(DiagramEdges, OneColumnAndDisconnected)
{
    Diagram one(1, 40, false, true);
    for (uint32_t rate : {1000, 500, 0, 1, 0, 900}) {
        one.Add(rate, 0);
        ASSERT_EQ(one.Bar(one.d.receive, 0), rate ? 20u : 0u) << rate;
        ASSERT_NE(one.At(one.d.send, 0, 5), VerticalColor);
    }
    // No connection: the diagram stands still.
    const std::vector<uint32_t> before = one.image;
    one.Add(300, 300, 0);
    EXPECT_TRUE(one.image == before && one.Bar(one.d.receive, 0) == 20u);
}

std::vector<uint32_t> Gradient(uint32_t rows)
{
    std::vector<uint32_t> table(rows, 0xFFFFFFFF);
    FillGradient(table.data(), rows, 0x00102030, 0x00F08040, 0x000000FF);
    return table;
}

// Per channel: 0x10 -> 0xF0 -> 0x00, 0x20 -> 0x80 -> 0x00, 0x30 -> 0x40 -> 0xFF;
// the second segment starts one step past the middle.
TEST(DiagramLayout, GradientHalvesAndTimeText)
{
    const uint32_t S = 0x00102030, M = 0x00F08040, E = 0x000000FF;
    EXPECT_EQ(Gradient(1), (std::vector<uint32_t>{S}));
    EXPECT_EQ(Gradient(5), (std::vector<uint32_t>{S, 0x00805038, M, 0x0078409F, E}));
    for (uint32_t rows : {64u, 57u})
        EXPECT_TRUE(Gradient(rows)[rows - rows / 2 - 1] == M && Gradient(rows)[rows - 1] == E) << rows;

    // An odd height gives the send half the extra row.
    Diagram t(192, 128, true);
    EXPECT_EQ(std::vector<int64_t>({t.d.areaHeight, t.d.receive.height, t.d.send.height, t.d.send.top, t.d.send.bottom,
                                    t.d.stripTop, t.d.stripHeight}),
              std::vector<int64_t>({115, 57, 58, 57, 115, 115, 13}));
    EXPECT_FLOAT_EQ(t.d.receive.lineStep, 5.7f);
    // The time span is the width in seconds, centred and clamped to the strip.
    EXPECT_EQ(Text16(t.d.timeText), u" 3:12 ");
    PlaceTimeText(&t.d, 31, 11);
    EXPECT_EQ(std::vector<int32_t>({t.d.timeTextLeft, t.d.timeTextTop, t.d.timeTextRight, t.d.timeTextBottom}),
              std::vector<int32_t>({80, 116, 111, 127}));

    // Histories outlive a layout.
    t.d.timeArrow = false;
    t.Add(700, 300);
    t.Add(350, 150);
    uint64_t* history = t.d.receive.history;
    t.Layout(50, 60);
    EXPECT_TRUE(t.d.receive.height == 30 && t.d.send.height == 30 && t.d.stripWidth == 0);
    EXPECT_EQ(t.d.receive.history, history);
    EXPECT_EQ(t.Bar(t.d.receive, 49) + t.Bar(t.d.send, 49), 30u);
}

}  // namespace
