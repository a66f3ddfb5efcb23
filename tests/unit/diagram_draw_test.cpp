#include <gtest/gtest.h>

#include <vector>

#include "diagram_fixture.h"

namespace {

// A 20-column diagram with halves of 20 rows each.
struct SmallDiagram : TestDiagram {
    SmallDiagram() : TestDiagram(20, 40) { }
};

TEST(DiagramBars, HeightFollowsThePeakAndColourTheMaximumSpeed)
{
    SmallDiagram t;
    t.Add(0, 0);
    t.Add(1000, 0);
    EXPECT_EQ(t.BarRows(t.d.receive, 18), 0u);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 20u);
    EXPECT_EQ(t.At(t.d.receive, 19, 19), t.d.receive.barEnd);  // at the maximum speed
    EXPECT_EQ(t.At(t.d.receive, 19, 0), t.d.receive.barStart);
    EXPECT_EQ(t.BarRows(t.d.send, 19), 0u);

    SmallDiagram half;
    half.d.receive.maxSpeed = 2000;  // the link speed, raised by the sampler
    half.Add(1000, 0);
    EXPECT_EQ(half.BarRows(half.d.receive, 19), 20u);
    EXPECT_EQ(half.At(half.d.receive, 19, 19), half.d.receive.gradient[9]);
}

// Expected rows as the service's reference drawing truncates them in double
// arithmetic: 9 / (9 / 7.0) falls just short of 7.
TEST(DiagramBars, RowsTruncateLikeTheReferenceDrawing)
{
    const struct {
        uint32_t height, sample, peak, reference, rows;
    } rows[] = {{20, 1000, 1000, 1000, 20},
                {20, 1, 1000000, 1000000, 1},  // a millionth of the peak still shows one pixel
                {9, 7, 9, 9, 6},
                {20, 999, 1000, 1500, 12},
                {4000, 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFFFFFF, 3999}};
    for (const auto& r : rows) {
        DiagramHalf half = {};
        half.height = r.height;
        half.peak = r.peak;
        half.maxSpeed = 1;
        EXPECT_EQ(BarRows(half, r.sample, r.reference), r.rows) << r.height << " " << r.sample << " " << r.peak;
    }
}

TEST(DiagramBars, PeakScrollingOutRescalesTheWholeDiagram)
{
    SmallDiagram t;
    t.Add(1000, 0);
    for (int i = 0; i < 19; ++i)
        t.Add(500, 0);
    EXPECT_EQ(t.BarRows(t.d.receive, 0), 20u);
    EXPECT_EQ(t.BarRows(t.d.receive, 1), 10u);
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
        EXPECT_EQ(t.BarRows(t.d.send, 2), equal ? 10u : 20u);
        EXPECT_EQ(t.BarRows(t.d.send, 19), equal ? 1u : 2u);
        EXPECT_EQ(t.BarRows(t.d.receive, 19), 2u);
    }
}

// Samples equal to the peak are not counted on arrival, so the count from the
// last scan runs out W = 20 seconds later and a full redraw scans again.
TEST(DiagramBars, SteadyPeakIsCountedOnlyByTheScan)
{
    SmallDiagram t;
    for (uint32_t tick = 1; tick <= 70; ++tick) {
        t.Add(1000, 0);
        ASSERT_EQ(t.d.columnCursor == 0, (tick - 1) % 20 == 0) << tick;
    }
    EXPECT_EQ(t.d.receive.peakCount, 11u);  // 20 at tick 61, less the nine that left since
}

TEST(DiagramGrid, RowsAtTenthsAndColumnsElevenApartTravellingLeft)
{
    TestDiagram t(40, 40, false, true);
    for (uint32_t row = 0; row < 20; ++row)
        EXPECT_EQ(t.At(t.d.receive, 7, row) == t.d.receive.horizontalLineColor, row % 2 == 0 || row == 19) << row;
    for (uint32_t tick = 0; tick <= 25; ++tick) {
        std::vector<uint32_t> got, expected;
        for (uint32_t x = 1; x < 40; ++x)
            if (t.At(t.d.receive, x, 5) == VerticalColor && t.At(t.d.send, x, 5) == VerticalColor)
                got.push_back(x);
        for (int x = 39 - int(tick % 11); x > 0; x -= 11)
            expected.insert(expected.begin(), uint32_t(x));
        ASSERT_EQ(got, expected) << "tick " << tick;
        t.Add(0, 0);
    }
}

TEST(DiagramGrid, PhaseGoesBackToZeroOnlyOnTheOneColumnPath)
{
    TestDiagram t(40, 40, false, true);
    for (uint32_t tick = 1; tick <= 10; ++tick)
        t.Add(0, 0);
    // A new peak: the full redraw keeps the phase running.
    t.Add(500, 0);
    EXPECT_EQ(t.d.verticalPhase, 11u);
    EXPECT_EQ(t.At(t.d.send, 28, 5), VerticalColor);
    EXPECT_NE(t.At(t.d.send, 39, 5), VerticalColor);
    t.Add(100, 0);
    EXPECT_EQ(t.d.verticalPhase, 0u);
    EXPECT_EQ(t.At(t.d.send, 39, 5), VerticalColor);
    EXPECT_EQ(t.At(t.d.send, 27, 5), VerticalColor);
}

TEST(DiagramEdges, OneColumnDisconnectedAndClearedDiagrams)
{
    TestDiagram one(1, 40, false, true);
    for (uint32_t rate : {1000, 500, 500, 0, 700, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 300, 900, 0}) {
        one.Add(rate, 0);
        ASSERT_EQ(one.BarRows(one.d.receive, 0), rate ? 20u : 0u) << rate;
        ASSERT_NE(one.At(one.d.send, 0, 5), VerticalColor);
    }

    SmallDiagram t;
    t.Add(400, 800);
    t.Add(100, 200);
    const std::vector<uint32_t> before = t.image;
    const uint32_t newest = t.d.newest;
    t.Add(900, 900, 0);  // no connection: the diagram stands still
    EXPECT_EQ(t.image, before);
    EXPECT_EQ(t.d.newest, newest);
    ClearDiagram(&t.d, false, true, false);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 5u);
    EXPECT_EQ(t.BarRows(t.d.send, 19), 0u);
    EXPECT_EQ(t.d.send.peak, 0u);
    EXPECT_EQ(t.d.send.maxSpeed, 800u);
}

TEST(DiagramRing, PeakScanCrossesTheWrap)
{
    SmallDiagram t;
    for (uint32_t i = 1; i <= HistoryCapacity + 10; ++i)
        t.Add(i == HistoryCapacity - 2 ? 5000 : 10, 0);
    // The newest sample sits at index 10, the peak 12 samples back across index 0.
    ASSERT_EQ(t.d.newest, 10u);
    ScanPeaks(&t.d);
    EXPECT_EQ(t.d.receive.peak, 5000u);
    EXPECT_EQ(t.d.receive.peakCount, 1u);
    EXPECT_EQ(t.BarRows(t.d.receive, 7), 20u);
    EXPECT_EQ(t.BarRows(t.d.receive, 19), 1u);
}

}  // namespace
