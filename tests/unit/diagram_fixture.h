// A diagram with the default colours over a plain pixel buffer, read back
// the way a paint shows it: x counts screen columns from the left, rows
// count upwards from a half's bottom row.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_model.h"
#include "monitor/monitor_settings.h"

// Not a default colour, so grid columns stand out from grid rows.
const uint32_t VerticalColor = 0x00303030;

struct TestDiagram {
    MonitorDiagram d = {};
    std::vector<uint32_t> image;
    bool equalScale = false;

    TestDiagram(int32_t clientWidth, int32_t clientHeight, bool timeArrow = false, bool verticalLines = false)
    {
        MonitorSettings settings;
        SetMonitorDefaults(&settings);
        settings.flags[EnableTimeArrow] = timeArrow;
        settings.flags[EnableVerticalLines] = verticalLines;
        TakeDiagramSettings(settings, &d);
        d.receive.verticalLineColor = d.send.verticalLineColor = VerticalColor;
        Layout(clientWidth, clientHeight);
    }
    ~TestDiagram()
    {
        ReleaseDiagram(&d);
    }
    TestDiagram(const TestDiagram&) = delete;
    TestDiagram& operator=(const TestDiagram&) = delete;

    void Layout(int32_t clientWidth, int32_t clientHeight)
    {
        ASSERT_TRUE(LayoutDiagram(&d, clientWidth, clientHeight));
        image.assign(size_t(d.areaWidth) * d.areaHeight, 0xDEADBEEF);
        d.pixels = image.empty() ? nullptr : image.data();
        RedrawDiagram(&d, equalScale);
    }

    void Add(uint32_t receive, uint32_t send, uint32_t connections = 1)
    {
        AddDiagramSample(&d, receive, send, connections, equalScale);
    }

    uint32_t At(const DiagramHalf& half, uint32_t x, uint32_t row) const
    {
        uint32_t column = (d.columnCursor + x) % d.areaWidth;
        return image[size_t(half.top + row) * d.areaWidth + column];
    }

    // Rows of bar from the half's bottom up.
    uint32_t BarRows(const DiagramHalf& half, uint32_t x) const
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
