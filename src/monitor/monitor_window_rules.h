// The plain-value rules of a monitor window's frame.
#pragma once

#include <cstdint>

const int32_t MonitorMinWidth = 64;
const int32_t MonitorMinHeight = 48;

struct MonitorFrame {
    int32_t left, top, right, bottom;
};

// The edges of WM_SIZING's wParam (WMSZ_LEFT .. WMSZ_BOTTOMRIGHT).
enum SizingEdge {
    SizingLeft = 1,
    SizingRight,
    SizingTop,
    SizingTopLeft,
    SizingTopRight,
    SizingBottom,
    SizingBottomLeft,
    SizingBottomRight
};

// Keeps a dragged frame at least 64 x 48; the edge being dragged gives way,
// the opposite one stays where it is.
void KeepMinimumSize(MonitorFrame* rect, int edge);
