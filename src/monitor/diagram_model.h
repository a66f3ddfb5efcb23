// The data behind a monitor's two scrolling bar diagrams: the rate
// histories, the peaks and maximum speeds that scale the bars, the colour
// gradient, the geometry and the 32-bit pixel image that keeps the picture
// between paints. The image is a ring of columns, so a new second normally
// costs one column; painting shows it rotated so that the column written
// last stands at the right edge.
//
// Pixels are 0x00RRGGBB words. Image rows count from the bottom of the
// diagram area (row 0 is the bottom row on screen), and so do the halves'
// rectangles: a half's "top" is its lowest row, "bottom" one past its
// highest. Everything here runs on the monitor window's own thread, except
// that the sampling thread takes the counters (TakeCounters) before it hands
// over a sample.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/statistics_view.h"
#include "core/text16.h"

const uint32_t HistoryCapacity = 5000;
const uint32_t VerticalGridSpacing = 10;  // lines stand one more apart
const int32_t TimeArrowStripHeight = 13;
const size_t TimeTextSize = 16;

struct DiagramHalf {
    int32_t left, top, right, bottom;
    uint32_t width, height;
    uint32_t background;
    bool horizontalLines;
    uint32_t horizontalLineColor;
    bool verticalLines;
    uint32_t verticalLineColor;
    float lineStep;      // rows between horizontal grid lines
    uint32_t maxSpeed;   // bits per second, top of the colour scale; only grows
    uint32_t peak;       // largest visible sample
    uint32_t peakCount;  // visible samples equal to peak
    uint32_t* gradient;  // height entries, bar bottom first
    uint64_t* history;   // HistoryCapacity entries; only the low 32 bits count
    uint32_t barStart, barMiddle, barEnd;
    uint32_t peaksTextColor, maxSpeedTextColor, notActiveTextColor;  // COLORREF

    // Made by the layout so that a column is one pass over its rows: the
    // column of background and horizontal grid, and the bar's colour at each
    // row for the peak and maxSpeed it was made for (barMaxSpeed 0: stale).
    uint32_t* gridColumn;
    uint32_t* barColumn;
    uint32_t barPeak, barMaxSpeed;
};

struct MonitorDiagram {
    int32_t areaLeft, areaTop, areaRight, areaBottom;
    uint32_t areaWidth, areaHeight;  // W and H
    uint32_t* pixels;                // W x H, owned by whoever made the image
    uint32_t columnCursor;           // image column the next sample overwrites
    uint32_t newest;                 // history index of the newest sample
    uint32_t capacity;
    uint32_t verticalPhase;  // samples since the last vertical grid column
    uint32_t verticalSpacing;
    DiagramHalf receive, send;  // receive is the lower half on screen
    uint64_t linkSpeed;         // bits per second, the largest the service gave
    bool timeArrow;
    int32_t stripLeft, stripTop, stripRight, stripBottom, stripWidth, stripHeight;
    uint32_t timeArrowColor, timeArrowFontColor;  // COLORREF
    int32_t timeTextLeft, timeTextTop, timeTextRight, timeTextBottom, textWidth, textHeight;
    Char16 timeText[TimeTextSize];
};

// The layout for a client area, up to the point where the time-span text
// must be measured: area, halves, strip, histories (allocated once, zeroed),
// grid step, the halves' tables and the text itself. The image is the
// caller's: it measures timeText, calls PlaceTimeText, makes a W x H image,
// sets pixels and runs RedrawDiagram. False when memory ran out; the
// diagram then draws nothing until a later layout succeeds.
bool LayoutDiagram(MonitorDiagram* diagram, int32_t clientWidth, int32_t clientHeight);

// Centres the measured time-span text in the strip.
void PlaceTimeText(MonitorDiagram* diagram, int32_t textWidth, int32_t textHeight);

// Bar colours for rows 0..rows-1: start at the bottom, middle at half the
// height, end at the top; each channel separately, truncating.
void FillGradient(uint32_t* table, uint32_t rows, uint32_t start, uint32_t middle, uint32_t end);

// Rows of bar for one sample: truncate(height / (peak / sample)) in double
// precision, then with a reference other than the peak (equal scale)
// truncate(peak / reference x rows); at least 1 for any traffic, none
// without a sample, peak or maxSpeed.
uint32_t BarRows(const DiagramHalf& half, uint32_t sample, uint32_t reference);

// Peak and peak count of both halves over the visible samples.
void ScanPeaks(MonitorDiagram* diagram);

// The whole image from the histories, newest sample at column W - 1;
// resets columnCursor to 0. equalScale gives both halves the larger peak as
// their height scale.
void RedrawDiagram(MonitorDiagram* diagram, bool equalScale);

// One second of rates. Nothing happens while connectionCount is 0. One
// column is redrawn, or the whole image when a peak arrives or leaves.
void AddDiagramSample(MonitorDiagram* diagram, uint32_t receiveRate, uint32_t sendRate, uint32_t connectionCount,
                      bool equalScale);

// One second of an interface's counters: each half's maxSpeed raised to the
// link speed (held to 32 bits, as the colour scale has always been), the
// link speed kept whole for the texts, and the rates with or without the
// hardware headers.
void TakeCounters(MonitorDiagram* diagram, const InterfaceCountersView& counters, bool noHardwareHeaders,
                  uint32_t* receiveRate, uint32_t* sendRate);

// Zeroes the chosen histories and redraws; maxSpeed keeps its value.
void ClearDiagram(MonitorDiagram* diagram, bool receive, bool send, bool equalScale);

// Frees the histories and the tables; the image is left to its maker.
void ReleaseDiagram(MonitorDiagram* diagram);

// How many of the newest samples the image shows: W, kept inside the ring.
uint32_t VisibleSamples(const MonitorDiagram& diagram);
