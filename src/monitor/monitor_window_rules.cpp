#include "monitor/monitor_window_rules.h"

void KeepMinimumSize(MonitorFrame* rect, int edge)
{
    if (rect->bottom - rect->top < MonitorMinHeight) {
        if (edge == SizingBottom || edge == SizingBottomLeft || edge == SizingBottomRight)
            rect->bottom = rect->top + MonitorMinHeight;
        else
            rect->top = rect->bottom - MonitorMinHeight;
    }
    if (rect->right - rect->left < MonitorMinWidth) {
        if (edge == SizingLeft || edge == SizingTopLeft || edge == SizingBottomLeft)
            rect->left = rect->right - MonitorMinWidth;
        else
            rect->right = rect->left + MonitorMinWidth;
    }
}
