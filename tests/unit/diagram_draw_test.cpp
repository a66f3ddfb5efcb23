#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "diagram_fixture.h"

namespace {

// A 20-column diagram with halves of 20 rows each.
struct SmallDiagram : TestDiagram {
    SmallDiagram() : TestDiagram(20, 40) { }
};

TEST(DiagramBars, SingleSampleAmongZerosIsFullHeight)
{
    SmallDiagram t;
    for (int i = 0; i < 5; ++i)
        t.Add(0, 0);
    t.Add(1000, 0);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 20u);
    // At the maximum speed the top row reaches the end colour.
    EXPECT_EQ(t.At(t.d.receive, 19, 19), t.d.receive.barEnd);
    EXPECT_EQ(t.At(t.d.receive, 19, 0), t.d.receive.barStart);
    for (uint32_t x = 0; x < 19; ++x)
        EXPECT_EQ(t.BarRows(t.d.receive, x), 0u) << x;
    for (uint32_t x = 0; x < 20; ++x)
        EXPECT_EQ(t.BarRows(t.d.send, x), 0u) << x;
}

TEST(DiagramBars, OneThousandthOfThePeakStillShowsOnePixel)
{
    SmallDiagram t;
    t.Add(1000000, 0);
    t.Add(1000, 0);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 1u);
    EXPECT_EQ(t.At(t.d.receive, 19, 0), t.d.receive.barStart);
    EXPECT_EQ(t.BarRows(t.d.receive, 18), 20u);
}

TEST(DiagramBars, HeightFollowsThePeakAndColourTheMaximumSpeed)
{
    SmallDiagram t;
    t.d.receive.maxSpeed = 2000;  // the link speed, raised by the sampler
    for (int i = 0; i < 30; ++i)
        t.Add(1000, 0);
    for (uint32_t x = 0; x < 20; ++x)
        ASSERT_EQ(t.BarRows(t.d.receive, x), 20u);
    // Half the link speed: the top row shows the table at half its height.
    EXPECT_EQ(t.At(t.d.receive, 19, 19), t.d.receive.gradient[9]);
}

// The bar height as the double formula gives it.
uint32_t FormulaRows(uint32_t height, uint32_t sample, uint32_t peak, uint32_t reference)
{
    double rows = std::trunc(double(height) / (double(peak) / double(sample)));
    if (reference != 0 && reference != peak)
        rows = std::trunc(double(peak) / double(reference) * rows);
    return rows < 1 ? 1 : uint32_t(rows);
}

TEST(DiagramBars, RowsAgreeWithTheDoubleFormula)
{
    std::mt19937 random(11);
    DiagramHalf half = {};
    half.maxSpeed = 1;
    for (int i = 0; i < 300000; ++i) {
        half.height = 1 + random() % (i % 3 == 0 ? 4000 : 120);
        half.peak = 1 + random() % (i % 2 ? 0xFFFFFFFEu : 100000u);
        uint32_t sample = 1 + random() % half.peak;
        if (i % 5 == 0) {
            // Whole quotients, where rounding decides.
            uint32_t k = 1 + random() % half.height;
            sample = uint32_t(uint64_t(half.peak) * k / half.height);
            if (sample == 0)
                sample = 1;
        }
        uint32_t reference = i % 4 == 0 ? half.peak + random() % 1000000 : half.peak;
        if (i % 8 == 0 && half.peak <= 0xFFFFFFFFu / 3)
            reference = half.peak * (2 + random() % 2);
        ASSERT_EQ(BarRows(half, sample, reference), FormulaRows(half.height, sample, half.peak, reference))
            << "height " << half.height << " sample " << sample << " peak " << half.peak << " reference " << reference;
    }
}

TEST(DiagramBars, PeakScrollingOutRescalesTheWholeDiagram)
{
    SmallDiagram t;
    t.Add(1000, 0);
    for (int i = 0; i < 19; ++i)
        t.Add(500, 0);
    EXPECT_EQ(t.BarRows(t.d.receive, 0), 20u);
    for (uint32_t x = 1; x < 20; ++x)
        ASSERT_EQ(t.BarRows(t.d.receive, x), 10u) << x;
    t.Add(500, 0);  // the 1000 leaves, W seconds after it came
    EXPECT_EQ(t.d.receive.peak, 500u);
    EXPECT_EQ(t.d.columnCursor, 0u);
    for (uint32_t x = 0; x < 20; ++x)
        ASSERT_EQ(t.BarRows(t.d.receive, x), 20u) << x;
    EXPECT_EQ(t.d.receive.maxSpeed, 1000u);  // never lowered
}

TEST(DiagramBars, EqualScaleHoldsTheSmallerDirectionBelowItsShare)
{
    for (bool equal : {false, true}) {
        SmallDiagram t;
        t.equalScale = equal;
        for (int i = 0; i < 25; ++i)
            t.Add(i == 10 ? 1000 : 100, i == 7 ? 500 : 50);
        const uint32_t sendBar = t.BarRows(t.d.send, 19 - (24 - 7));
        EXPECT_EQ(sendBar, equal ? 10u : 20u);
        EXPECT_EQ(t.BarRows(t.d.send, 19), equal ? 1u : 2u);
        EXPECT_EQ(t.BarRows(t.d.receive, 19), 2u);
    }
}

TEST(DiagramGrid, VerticalColumnsElevenApartTravelLeft)
{
    TestDiagram t(40, 40, false, true);
    auto gridColumns = [&t] {
        std::vector<uint32_t> xs;
        for (uint32_t x = 1; x < 40; ++x)
            if (t.At(t.d.receive, x, 5) == VerticalColor && t.At(t.d.send, x, 5) == VerticalColor)
                xs.push_back(x);
        return xs;
    };
    EXPECT_EQ(gridColumns(), (std::vector<uint32_t>{6, 17, 28, 39}));
    for (uint32_t tick = 1; tick <= 25; ++tick) {
        t.Add(0, 0);
        std::vector<uint32_t> expected;
        for (int x = 39 - int(tick % 11); x > 0; x -= 11)
            expected.insert(expected.begin(), uint32_t(x));
        ASSERT_EQ(gridColumns(), expected) << "tick " << tick;
    }
}

TEST(DiagramGrid, HorizontalRowsAtTenthsAndTheTop)
{
    SmallDiagram t;
    const uint32_t line = t.d.receive.horizontalLineColor, back = t.d.receive.background;
    for (uint32_t row = 0; row < 20; ++row)
        EXPECT_EQ(t.At(t.d.receive, 7, row), row % 2 == 0 || row == 19 ? line : back) << row;
}

TEST(DiagramBars, SteadyPeakIsCountedOnlyByTheScan)
{
    // Arrivals equal to the peak are not counted, so once the
    // samples counted by the last scan have scrolled out (W = 20 seconds
    // later) the count reaches 0 and a full redraw scans again.
    SmallDiagram t;
    for (uint32_t tick = 1; tick <= 70; ++tick) {
        t.Add(1000, 0);
        // Tick 1 is a new peak (scan: count 1); tick 2 finds the count
        // unchanged, ticks 21, 41 and 61 scan again (count 20).
        const bool scanned = tick == 1 || (tick > 1 && (tick - 1) % 20 == 0);
        if (scanned)
            ASSERT_EQ(t.d.columnCursor, 0u) << tick;
        else
            ASSERT_NE(t.d.columnCursor, 0u) << tick;
    }
    EXPECT_EQ(t.d.receive.peak, 1000u);
    EXPECT_EQ(t.d.receive.peakCount, 11u);  // 20 at tick 61, less the nine that left since
}

TEST(DiagramGrid, PhaseGoesBackToZeroOnlyOnTheOneColumnPath)
{
    TestDiagram t(40, 40, false, true);
    for (uint32_t tick = 1; tick <= 10; ++tick)
        t.Add(0, 0);
    ASSERT_EQ(t.d.verticalPhase, 10u);
    // The eleventh sample is a new peak: the full redraw keeps the phase
    // running and the grid column stays where the phase puts it (x = 28).
    t.Add(500, 0);
    EXPECT_EQ(t.d.verticalPhase, 11u);
    EXPECT_EQ(t.At(t.d.send, 28, 5), VerticalColor);
    EXPECT_NE(t.At(t.d.send, 39, 5), VerticalColor);
    // The next one-column second draws the grid column and starts again.
    t.Add(100, 0);
    EXPECT_EQ(t.d.verticalPhase, 0u);
    EXPECT_EQ(t.At(t.d.send, 39, 5), VerticalColor);
    EXPECT_EQ(t.At(t.d.send, 27, 5), VerticalColor);
}

TEST(DiagramEdges, OneColumnShowsOnlyTheNewestAndNoGrid)
{
    TestDiagram t(1, 40, false, true);
    const uint32_t rates[] = {1000, 500, 500, 0, 700, 1, 0, 0, 0, 0, 0, 300, 900, 0};
    for (int round = 0; round < 3; ++round)
        for (uint32_t rate : rates) {
            t.Add(rate, 0);
            ASSERT_EQ(t.BarRows(t.d.receive, 0), rate ? 20u : 0u) << rate;
            ASSERT_NE(t.At(t.d.send, 0, 5), VerticalColor);
        }
}

TEST(DiagramEdges, DisconnectedDiagramStandsStill)
{
    SmallDiagram t;
    t.Add(300, 200);
    const std::vector<uint32_t> before = t.image;
    const uint32_t newest = t.d.newest, phase = t.d.verticalPhase;
    t.Add(900, 900, 0);
    EXPECT_EQ(t.image, before);
    EXPECT_EQ(t.d.newest, newest);
    EXPECT_EQ(t.d.verticalPhase, phase);
}

TEST(DiagramEdges, ClearingOneDirectionKeepsTheOther)
{
    SmallDiagram t;
    t.Add(400, 800);
    t.Add(100, 200);
    ClearDiagram(&t.d, false, true, false);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 5u);
    EXPECT_EQ(t.BarRows(t.d.send, 19), 0u);
    EXPECT_EQ(t.d.send.peak, 0u);
    EXPECT_EQ(t.d.send.maxSpeed, 800u);
}

// The image kept up column by column must show what a full redraw of the
// same histories shows. Column 0 is left out: a grid column that scrolls
// there stays until it is overwritten, while a full redraw never puts one
// there. Vertical grid columns are left out by the caller: after a full
// redraw in a second that passed the grid spacing, the diagram draws the next
// grid column a column later than a fresh redraw would place it.
void ExpectMatchesRedraw(const TestDiagram& t, const char* where)
{
    MonitorDiagram copy = t.d;
    std::vector<uint32_t> fresh(t.image.size());
    copy.pixels = fresh.data();
    RedrawDiagram(&copy, t.equalScale);
    // The peak's samples are counted only in the scan, so the kept
    // count may run below the scan's, never above it, and never to 0 while
    // a peak stands.
    ASSERT_EQ(copy.receive.peak, t.d.receive.peak) << where;
    ASSERT_LE(t.d.receive.peakCount, copy.receive.peakCount) << where;
    ASSERT_TRUE(t.d.receive.peak == 0 || t.d.receive.peakCount != 0) << where;
    ASSERT_EQ(copy.send.peak, t.d.send.peak) << where;
    ASSERT_LE(t.d.send.peakCount, copy.send.peakCount) << where;
    ASSERT_TRUE(t.d.send.peak == 0 || t.d.send.peakCount != 0) << where;
    const uint32_t w = t.d.areaWidth;
    for (uint32_t row = 0; row < t.d.areaHeight; ++row)
        for (uint32_t x = 1; x < w; ++x)
            ASSERT_EQ(t.image[row * w + (t.d.columnCursor + x) % w], fresh[row * w + x])
                << where << ": x " << x << " row " << row << " newest " << t.d.newest;
}

TEST(DiagramRing, IncrementalImageMatchesFullRedrawAcrossTheWrap)
{
    std::mt19937 random(7);
    for (bool equal : {false, true}) {
        TestDiagram t(37, 61, false, false);
        t.equalScale = equal;
        for (int i = 0; i < 5200; ++i) {
            uint32_t spike = random() % 97 == 0 ? 40000 : 0;
            // Coarse rates, so that samples equal to the peak come and go often.
            t.Add(random() % 20 * 1000 + spike, random() % 100 < 30 ? 0 : random() % 9 * 1000);
            if (i % 97 == 0 || (i >= 4990 && i <= 5010))
                ExpectMatchesRedraw(t, equal ? "equal scale" : "own scale");
        }
        EXPECT_EQ(t.d.newest, 5200u % HistoryCapacity);
    }
}

TEST(DiagramRing, PeakScanCrossesTheWrap)
{
    SmallDiagram t;
    for (uint32_t i = 1; i <= HistoryCapacity + 10; ++i)
        t.Add(i == HistoryCapacity - 2 ? 5000 : 10, 0);
    // The newest sample sits at index 10; the peak is 12 samples back, on
    // the far side of index 0.
    ASSERT_EQ(t.d.newest, 10u);
    ScanPeaks(&t.d);
    EXPECT_EQ(t.d.receive.peak, 5000u);
    EXPECT_EQ(t.d.receive.peakCount, 1u);
    EXPECT_EQ(t.BarRows(t.d.receive, 19 - 12), 20u);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 1u);
}

}  // namespace
