#include <cmath>
#include <cstring>

#include "monitor/diagram_model.h"

namespace {

uint32_t Sample(const DiagramHalf& half, uint32_t index)
{
    return uint32_t(half.history[index]);
}

uint32_t Previous(const MonitorDiagram& d, uint32_t index)
{
    return index == 0 ? d.capacity - 1 : index - 1;
}

uint32_t ScaleReference(const MonitorDiagram& d, const DiagramHalf& half, bool equalScale)
{
    if (!equalScale)
        return half.peak;
    return d.receive.peak > d.send.peak ? d.receive.peak : d.send.peak;
}

// The colour of a bar's rows depends on the visible peak against maxSpeed,
// not on the bar's own height, so it is one table until either changes.
void UpdateBarColumn(DiagramHalf* half)
{
    if (half->barPeak == half->peak && half->barMaxSpeed == half->maxSpeed)
        return;
    half->barPeak = half->peak;
    half->barMaxSpeed = half->maxSpeed;
    const double step = double(half->peak) / double(half->maxSpeed);
    double position = 0;
    for (uint32_t row = 0; row < half->height; ++row, position += step) {
        uint32_t entry = uint32_t(position);
        half->barColumn[row] = half->gradient[entry < half->height ? entry : half->height - 1];
    }
}

void PaintHalfColumn(MonitorDiagram* d, DiagramHalf* half, uint32_t x, bool gridColumn, uint32_t barRows)
{
    const uint32_t height = half->height;
    if (height == 0 || !half->gradient)
        return;
    if (barRows != 0)
        UpdateBarColumn(half);
    // Locals, so that the stores into the image need not reload the tables.
    const size_t stride = d->areaWidth;
    const uint32_t* bar = half->barColumn;
    const uint32_t* grid = half->gridColumn;
    uint32_t* pixel = d->pixels + size_t(half->top) * stride + x;
    // One pass of fixed length that blends bar and grid row by row: the
    // bar's height changes every second, and a loop ending there would be
    // mispredicted every time. The mask is all ones inside the bar.
    if (gridColumn && half->verticalLines) {
        const uint32_t line = half->verticalLineColor;
        for (uint32_t row = 0; row < height; ++row, pixel += stride) {
            const uint32_t inBar = 0u - uint32_t(row < barRows);
            *pixel = (bar[row] & inBar) | (line & ~inBar);
        }
    } else {
        for (uint32_t row = 0; row < height; ++row, pixel += stride) {
            const uint32_t inBar = 0u - uint32_t(row < barRows);
            *pixel = (bar[row] & inBar) | (grid[row] & ~inBar);
        }
    }
}

bool CanDraw(const MonitorDiagram& d)
{
    return d.pixels && d.areaWidth != 0 && d.receive.history && d.send.history;
}

// A peak sample left the window or a larger one came in.
bool ObservePeak(DiagramHalf* half, uint32_t leaving, uint32_t arriving)
{
    if (half->peak != 0 && half->peakCount != 0 && leaving == half->peak)
        --half->peakCount;
    if (arriving > half->peak) {
        half->peak = arriving;
        if (arriving > half->maxSpeed)
            half->maxSpeed = arriving;
        return true;
    }
    // Only the full redraw's scan sets the count, and an
    // arriving sample equal to the peak is not added. A steady peak thus
    // costs one full redraw each time the window has scrolled past the
    // samples counted by the last scan (every W seconds at worst). Counting
    // the arrivals would spare that redraw but is not invisible: a full
    // redraw keeps the grid phase running (below), so it can move where the
    // next vertical grid column stands.
    return half->peak != 0 && half->peakCount == 0;
}

// floor(a * b / c), when that is what BarRows' double formulas truncate to:
// they stray from the exact quotient x by less than x * 2^-51, which for
// x below 2^19 is less than 2^-32, while an x that is not whole lies more
// than 1 / c > 2^-32 from any whole number. A whole x is left to the
// formula, whose rounding may fall just short of it.
bool ExactFloor(uint32_t a, uint32_t b, uint32_t c, uint32_t* quotient)
{
    const uint64_t n = uint64_t(a) * b;
    *quotient = uint32_t(n / c);
    return n % c != 0 && *quotient < (1u << 19);
}

}  // namespace

uint32_t BarRows(const DiagramHalf& half, uint32_t sample, uint32_t reference)
{
    const uint32_t height = half.height, peak = half.peak;
    if (sample == 0 || peak == 0 || half.maxSpeed == 0)
        return 0;
    // One integer division in place of two in double precision.
    uint32_t rows = height;
    if (sample < peak && !ExactFloor(height, sample, peak, &rows))
        rows = uint32_t(std::trunc(double(height) / (double(peak) / double(sample))));
    if (reference != 0 && reference != peak) {
        const uint32_t unscaled = rows;
        if (reference < peak || !ExactFloor(peak, unscaled, reference, &rows))
            rows = uint32_t(std::fmin(std::trunc(double(peak) / double(reference) * unscaled), double(height)));
    }
    if (rows > height)
        rows = height;
    return rows != 0 ? rows : 1;  // any traffic shows
}

uint32_t VisibleSamples(const MonitorDiagram& d)
{
    // One slot stays free, so the sample leaving the window is still there
    // when the new one is stored.
    const uint32_t limit = d.capacity - 1;
    return d.areaWidth < limit ? d.areaWidth : limit;
}

void ScanPeaks(MonitorDiagram* d)
{
    DiagramHalf* halves[] = {&d->receive, &d->send};
    for (DiagramHalf* half : halves) {
        half->peak = 0;
        half->peakCount = 0;
    }
    if (!d->receive.history || !d->send.history)
        return;
    uint32_t index = d->newest;
    for (uint32_t n = VisibleSamples(*d); n > 0; --n, index = Previous(*d, index)) {
        for (DiagramHalf* half : halves) {
            uint32_t sample = Sample(*half, index);
            if (sample > half->peak) {
                half->peak = sample;
                half->peakCount = 1;
            } else if (sample == half->peak) {
                ++half->peakCount;
            }
        }
    }
}

void RedrawDiagram(MonitorDiagram* d, bool equalScale)
{
    d->columnCursor = 0;
    if (!CanDraw(*d))
        return;
    ScanPeaks(d);
    DiagramHalf* halves[] = {&d->receive, &d->send};
    for (DiagramHalf* half : halves)
        if (half->peak > half->maxSpeed)
            half->maxSpeed = half->peak;
    const uint32_t receiveReference = ScaleReference(*d, d->receive, equalScale);
    const uint32_t sendReference = ScaleReference(*d, d->send, equalScale);

    // Grid columns stand every spacing + 1 columns from the one the phase
    // points at, and never in column 0.
    const int64_t firstGrid = int64_t(d->areaWidth) - d->verticalPhase - 1;
    const int64_t gridPitch = int64_t(d->verticalSpacing) + 1;
    const uint32_t visible = VisibleSamples(*d);
    uint32_t index = d->newest;
    for (uint32_t age = 0; age < d->areaWidth; ++age) {
        const uint32_t x = d->areaWidth - 1 - age;
        const bool grid = x > 0 && x <= firstGrid && (firstGrid - x) % gridPitch == 0;
        const bool shown = age < visible;
        const uint32_t receiveRows = shown ? BarRows(d->receive, Sample(d->receive, index), receiveReference) : 0;
        const uint32_t sendRows = shown ? BarRows(d->send, Sample(d->send, index), sendReference) : 0;
        PaintHalfColumn(d, &d->receive, x, grid, receiveRows);
        PaintHalfColumn(d, &d->send, x, grid, sendRows);
        index = Previous(*d, index);
    }
}

void TakeCounters(MonitorDiagram* d, const InterfaceCountersView& c, bool noHardwareHeaders, uint32_t* receiveRate,
                  uint32_t* sendRate)
{
    const uint64_t bits = uint64_t(c.linkSpeed) * 100;  // the link speed comes in 100 bit/s
    const uint32_t limited = bits > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(bits);
    for (DiagramHalf* half : {&d->receive, &d->send})
        half->maxSpeed = limited > half->maxSpeed ? limited : half->maxSpeed;
    d->linkSpeed = bits > d->linkSpeed ? bits : d->linkSpeed;
    *receiveRate = noHardwareHeaders ? c.receiveRateNoHeaders : c.receiveRate;
    *sendRate = noHardwareHeaders ? c.sendRateNoHeaders : c.sendRate;
}

void AddDiagramSample(MonitorDiagram* d, uint32_t receiveRate, uint32_t sendRate, uint32_t connectionCount,
                      bool equalScale)
{
    if (connectionCount == 0 || !d->receive.history || !d->send.history)
        return;
    // The phase counts every sample; it goes back to 0 only where the
    // one-column path below draws a grid column, so a
    // full redraw in a second that passes the spacing keeps counting and
    // the grid column comes with the next one-column second.
    ++d->verticalPhase;
    d->newest = d->newest + 1 >= d->capacity ? 0 : d->newest + 1;
    d->receive.history[d->newest] = receiveRate;
    d->send.history[d->newest] = sendRate;

    const uint32_t visible = VisibleSamples(*d);
    const uint32_t leaving = d->newest >= visible ? d->newest - visible : d->newest + d->capacity - visible;
    bool redraw = ObservePeak(&d->receive, Sample(d->receive, leaving), receiveRate);
    redraw = ObservePeak(&d->send, Sample(d->send, leaving), sendRate) || redraw;
    if (redraw) {
        RedrawDiagram(d, equalScale);
        return;
    }
    if (!CanDraw(*d))
        return;
    bool gridColumn = d->verticalPhase > d->verticalSpacing;
    if (gridColumn)
        d->verticalPhase = 0;
    // The new column shows at x = W - 1, which in a one-column diagram is
    // column 0, and that never carries a grid line.
    gridColumn = gridColumn && d->areaWidth > 1;
    const uint32_t x = d->columnCursor < d->areaWidth ? d->columnCursor : 0;
    // Both heights first, so that their divisions overlap.
    const uint32_t receiveRows = BarRows(d->receive, receiveRate, ScaleReference(*d, d->receive, equalScale));
    const uint32_t sendRows = BarRows(d->send, sendRate, ScaleReference(*d, d->send, equalScale));
    PaintHalfColumn(d, &d->receive, x, gridColumn, receiveRows);
    PaintHalfColumn(d, &d->send, x, gridColumn, sendRows);
    d->columnCursor = x + 1 >= d->areaWidth ? 0 : x + 1;
}

void ClearDiagram(MonitorDiagram* d, bool receive, bool send, bool equalScale)
{
    if (receive && d->receive.history)
        std::memset(d->receive.history, 0, HistoryCapacity * sizeof(uint64_t));
    if (send && d->send.history)
        std::memset(d->send.history, 0, HistoryCapacity * sizeof(uint64_t));
    RedrawDiagram(d, equalScale);
}
