#include <gtest/gtest.h>

#include "monitor/monitor_window_rules.h"

namespace {

MonitorFrame Sized(int edge, MonitorFrame frame)
{
    KeepMinimumSize(&frame, edge);
    return frame;
}

void ExpectFrame(const MonitorFrame& got, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    EXPECT_EQ(got.left, left);
    EXPECT_EQ(got.top, top);
    EXPECT_EQ(got.right, right);
    EXPECT_EQ(got.bottom, bottom);
}

}  // namespace

// The edge under the mouse gives way; the opposite edge stays put.
TEST(MonitorSizing, DraggedEdgeSnapsBackToTheMinimum)
{
    ExpectFrame(Sized(SizingBottom, {100, 100, 300, 120}), 100, 100, 300, 148);
    ExpectFrame(Sized(SizingTop, {100, 130, 300, 150}), 100, 102, 300, 150);
    ExpectFrame(Sized(SizingRight, {100, 100, 120, 200}), 100, 100, 164, 200);
    ExpectFrame(Sized(SizingLeft, {250, 100, 300, 200}), 236, 100, 300, 200);
}

TEST(MonitorSizing, CornersCorrectBothAxesOnTheirOwnSide)
{
    ExpectFrame(Sized(SizingTopLeft, {280, 180, 300, 200}), 236, 152, 300, 200);
    ExpectFrame(Sized(SizingBottomRight, {100, 100, 110, 110}), 100, 100, 164, 148);
    ExpectFrame(Sized(SizingBottomLeft, {280, 100, 300, 110}), 236, 100, 300, 148);
    ExpectFrame(Sized(SizingTopRight, {100, 180, 110, 200}), 100, 152, 164, 200);
}

TEST(MonitorSizing, FramesAtOrAboveTheMinimumAreLeftAlone)
{
    ExpectFrame(Sized(SizingBottomRight, {0, 0, 64, 48}), 0, 0, 64, 48);
    ExpectFrame(Sized(SizingLeft, {-50, -20, 400, 300}), -50, -20, 400, 300);
}
