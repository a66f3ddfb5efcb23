#include <cstdlib>
#include <cstring>

#include "monitor/diagram_model.h"
#include "monitor/text_builder.h"

namespace {

uint32_t* AllocateRows(uint32_t rows)
{
    return static_cast<uint32_t*>(std::calloc(rows, sizeof(uint32_t)));
}

void ReleaseTables(DiagramHalf* half)
{
    std::free(half->gradient);
    std::free(half->gridColumn);
    std::free(half->barColumn);
    half->gradient = half->gridColumn = half->barColumn = nullptr;
}

void SetHalfRect(DiagramHalf* half, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    half->left = left;
    half->top = top;
    half->right = right;
    half->bottom = bottom;
    half->width = uint32_t(right - left);
    half->height = uint32_t(bottom - top);
}

// Background, then every horizontal grid row and the top row.
void FillGridColumn(DiagramHalf* half)
{
    const uint32_t height = half->height;
    for (uint32_t row = 0; row < height; ++row)
        half->gridColumn[row] = half->background;
    if (!half->horizontalLines)
        return;
    // Accumulated in single precision, as the step is kept.
    for (float p = 0; p < float(height - 1); p += half->lineStep)
        half->gridColumn[uint32_t(p)] = half->horizontalLineColor;
    half->gridColumn[height - 1] = half->horizontalLineColor;
}

bool BuildTables(DiagramHalf* half)
{
    ReleaseTables(half);
    half->barMaxSpeed = 0;
    half->lineStep = float(double(half->height) * 0.1);
    if (half->height == 0)
        return true;
    half->gradient = AllocateRows(half->height);
    half->gridColumn = AllocateRows(half->height);
    half->barColumn = AllocateRows(half->height);
    if (!half->gradient || !half->gridColumn || !half->barColumn) {
        ReleaseTables(half);
        return false;
    }
    FillGradient(half->gradient, half->height, half->barStart, half->barMiddle, half->barEnd);
    FillGridColumn(half);
    return true;
}

bool AllocateHistory(DiagramHalf* half)
{
    if (!half->history)
        half->history = static_cast<uint64_t*>(std::calloc(HistoryCapacity, sizeof(uint64_t)));
    return half->history != nullptr;
}

}  // namespace

void FillGradient(uint32_t* table, uint32_t rows, uint32_t start, uint32_t middle, uint32_t end)
{
    if (rows == 0)
        return;
    const uint32_t first = rows - rows / 2, second = rows / 2;
    for (uint32_t row = 0; row < rows; ++row)
        table[row] = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double s = (start >> shift) & 0xFF, m = (middle >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        double value = s;
        const double firstStep = first > 1 ? (m - s) / (first - 1) : 0;
        bool middleWritten = false;
        for (uint32_t row = 0; row < first; ++row) {
            uint32_t channel = uint32_t(int32_t(value));
            if (row == first - 1 && row > 0) {
                channel = uint32_t(m);
                middleWritten = true;
            }
            table[row] |= channel << shift;
            value += firstStep;
        }
        double secondStep;
        if (middleWritten) {
            secondStep = (e - m) / second;
            value = m + secondStep;
        } else {
            secondStep = second > 1 ? (e - m) / (second - 1) : 0;
            value = m;
        }
        for (uint32_t row = first; row < rows; ++row) {
            uint32_t channel = row == rows - 1 ? uint32_t(e) : uint32_t(int32_t(value));
            table[row] |= channel << shift;
            value += secondStep;
        }
    }
}

bool LayoutDiagram(MonitorDiagram* d, int32_t clientWidth, int32_t clientHeight)
{
    const int32_t w = clientWidth > 0 ? clientWidth : 0;
    int32_t h = clientHeight;
    d->areaLeft = 0;
    d->areaTop = 0;
    d->areaRight = w;
    if (d->timeArrow) {
        h = clientHeight - TimeArrowStripHeight;
        d->stripLeft = 0;
        d->stripTop = clientHeight - TimeArrowStripHeight;
        d->stripRight = w;
        d->stripBottom = clientHeight;
        d->stripWidth = w;
        d->stripHeight = TimeArrowStripHeight;
    } else {
        d->stripLeft = d->stripTop = d->stripRight = d->stripBottom = d->stripWidth = d->stripHeight = 0;
    }
    if (h < 0)
        h = 0;
    d->areaBottom = h;
    d->areaWidth = uint32_t(w);
    d->areaHeight = uint32_t(h);

    // The send half takes the odd row.
    SetHalfRect(&d->receive, 0, 0, w, h / 2);
    if (h > h / 2)
        SetHalfRect(&d->send, 0, h / 2, w, h);
    else
        SetHalfRect(&d->send, 0, 0, 0, 0);

    d->capacity = HistoryCapacity;
    d->verticalSpacing = VerticalGridSpacing;
    if (d->newest >= d->capacity)
        d->newest = 0;
    bool ok = AllocateHistory(&d->receive) && AllocateHistory(&d->send);
    ok = BuildTables(&d->receive) && ok;
    ok = BuildTables(&d->send) && ok;

    TextBuilder text = StartText(d->timeText, TimeTextSize);
    if (d->timeArrow) {
        // The strip's width read as seconds at one column per second.
        int32_t t = d->stripWidth * 1000;
        PutChar(&text, ' ');
        PutDecimal(&text, t / 60000, 0);
        PutChar(&text, ':');
        PutDecimal(&text, t % 60000 / 1000, 2);
        PutChar(&text, ' ');
    }
    PlaceTimeText(d, 0, 0);
    d->pixels = nullptr;
    d->columnCursor = 0;
    return ok;
}

void PlaceTimeText(MonitorDiagram* d, int32_t textWidth, int32_t textHeight)
{
    if (textWidth > d->stripWidth)
        textWidth = d->stripWidth;
    if (textHeight > d->stripHeight)
        textHeight = d->stripHeight;
    if (textWidth < 0)
        textWidth = 0;
    if (textHeight < 0)
        textHeight = 0;
    d->textWidth = textWidth;
    d->textHeight = textHeight;
    d->timeTextLeft = d->stripLeft + (d->stripWidth - textWidth) / 2;
    d->timeTextRight = d->timeTextLeft + textWidth;
    d->timeTextTop = d->stripTop + (d->stripHeight - textHeight) / 2;
    d->timeTextBottom = d->timeTextTop + textHeight;
}

void ReleaseDiagram(MonitorDiagram* d)
{
    DiagramHalf* halves[] = {&d->receive, &d->send};
    for (DiagramHalf* half : halves) {
        ReleaseTables(half);
        std::free(half->history);
        half->history = nullptr;
    }
}
