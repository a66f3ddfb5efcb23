#include <gtest/gtest.h>

#include <vector>

#include "monitor/monitor_window_rules.h"

// The edge under the mouse gives way to the minimum, the opposite edge stays
// put; corners correct both axes on their own side.
TEST(MonitorSizing, DraggedEdgeSnapsBackToTheMinimum)
{
    const struct {
        int edge;
        std::vector<int32_t> frame, sized;
    } rows[] = {
        {SizingBottom, {100, 100, 300, 120}, {100, 100, 300, 148}},
        {SizingTop, {100, 130, 300, 150}, {100, 102, 300, 150}},
        {SizingRight, {100, 100, 120, 200}, {100, 100, 164, 200}},
        {SizingLeft, {250, 100, 300, 200}, {236, 100, 300, 200}},
        {SizingTopLeft, {280, 180, 300, 200}, {236, 152, 300, 200}},
        {SizingBottomRight, {100, 100, 110, 110}, {100, 100, 164, 148}},
        {SizingBottomLeft, {280, 100, 300, 110}, {236, 100, 300, 148}},
        {SizingTopRight, {100, 180, 110, 200}, {100, 152, 164, 200}},
        {SizingBottomRight, {0, 0, 64, 48}, {0, 0, 64, 48}},
    };
    for (const auto& r : rows) {
        MonitorFrame frame = {r.frame[0], r.frame[1], r.frame[2], r.frame[3]};
        KeepMinimumSize(&frame, r.edge);
        EXPECT_EQ(std::vector<int32_t>({frame.left, frame.top, frame.right, frame.bottom}), r.sized) << r.edge;
    }
}
