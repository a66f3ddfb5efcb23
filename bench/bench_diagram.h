// A diagram with the default colours over a plain buffer, and a rate
// pattern that keeps it on its per-second path as far as the peak rule allows:
// the pattern repeats every W seconds, so the peak sample that scrolls out
// is replaced by an equal one in the same second; as the diagram counts the
// peak's samples only in a full redraw's scan, that second still rescans,
// so a tick costs the per-second path plus a full redraw every W ticks.
#pragma once

#include <cstdint>
#include <vector>

#include "monitor/appearance_rules.h"
#include "monitor/diagram_model.h"
#include "monitor/monitor_settings.h"

// The client area of the default 200 x 128 window (a tool window with
// caption and sizing border, as wine's default metrics make it); with the
// time arrow the diagram is 192 x 91.
const int32_t DefaultClientWidth = 192, DefaultClientHeight = 104;

struct BenchDiagram {
    MonitorDiagram d = {};
    std::vector<uint32_t> image;
    std::vector<uint32_t> receive, send;
    uint32_t next = 0;

    BenchDiagram(int32_t clientWidth, int32_t clientHeight)
    {
        MonitorSettings settings;
        SetMonitorDefaults(&settings);
        TakeDiagramSettings(settings, &d);
        LayoutDiagram(&d, clientWidth, clientHeight);
        image.assign(size_t(d.areaWidth) * d.areaHeight, 0);
        d.pixels = image.data();
        d.receive.maxSpeed = d.send.maxSpeed = 100000000;  // a 100 Mbps link
        uint32_t noise = 1;
        for (uint32_t i = 0; i < d.areaWidth; ++i) {
            noise = noise * 1103515245 + 12345;
            receive.push_back(i == 0 ? 90000000 : 20000000 + (noise >> 4) % 60000000);
            send.push_back(i == 0 ? 9000000 : 1000000 + (noise >> 6) % 6000000);
        }
        RedrawDiagram(&d, false);
        for (uint32_t i = 0; i < d.areaWidth; ++i)
            Tick();  // the first peak redraws; then one column a second, one rescan every W
    }
    ~BenchDiagram()
    {
        ReleaseDiagram(&d);
    }
    BenchDiagram(const BenchDiagram&) = delete;
    BenchDiagram& operator=(const BenchDiagram&) = delete;

    void Tick()
    {
        AddDiagramSample(&d, receive[next], send[next], 1, false);
        if (++next == receive.size())
            next = 0;
    }
};

// The floor for one second: H stores down one column, nothing else.
inline void WriteBareColumn(uint32_t* pixels, uint32_t width, uint32_t height, uint32_t x, uint32_t value)
{
    uint32_t* pixel = pixels + x;
    for (uint32_t row = 0; row < height; ++row, pixel += width)
        *pixel = value;
}
