#include "monitor/diagram_paint.h"

#include "monitor/diagram_texts.h"
#include "monitor/speed_format.h"

namespace {

void CopyImage(const MonitorRecord* record, HDC dc)
{
    const MonitorDiagram& d = record->diagram;
    HDC memory = record->imageDc;
    if (!memory || d.areaWidth == 0)
        return;
    const int w = int(d.areaWidth), h = int(d.areaHeight), cursor = int(d.columnCursor);
    // The column written last sits just left of the cursor in the ring.
    BitBlt(dc, d.areaLeft, d.areaTop, w - cursor, h, memory, cursor, 0, SRCCOPY);
    if (cursor != 0)
        BitBlt(dc, d.areaLeft + w - cursor, d.areaTop, cursor, h, memory, 0, 0, SRCCOPY);
}

void Line(HDC dc, int x0, int y0, int x1, int y1)
{
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

void PaintTimeArrow(const MonitorRecord* record, HDC dc)
{
    const MonitorDiagram& d = record->diagram;
    RECT textRect = {d.timeTextLeft, d.timeTextTop, d.timeTextRight, d.timeTextBottom};
    // Painted over every second without an erase: smoothed text drawn on
    // its own edges would darken them.
    RECT strip = {d.stripLeft, d.stripTop, d.stripRight, d.stripBottom};
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, d.timeArrowFontColor);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, d.timeText, -1, &textRect, DT_CENTER);

    if (!record->arrowPen)
        return;
    HGDIOBJ oldPen = SelectObject(dc, record->arrowPen);
    const int l = d.stripLeft, r = d.stripRight, t = d.stripTop, b = d.stripBottom;
    const int m = t + d.stripHeight / 2;
    // An end bar, a shaft to the text and an outward head, at each end.
    Line(dc, l, t, l, b);
    Line(dc, l + 6, m, d.timeTextLeft, m);
    Line(dc, l, m, l + 6, m - 4);
    Line(dc, l, m, l + 6, m + 3);
    LineTo(dc, l + 6, m - 5);
    Line(dc, r - 1, t, r - 1, b);
    Line(dc, r - 6, m, d.timeTextRight, m);
    Line(dc, r - 1, m, r - 6, m - 4);
    Line(dc, r - 1, m, r - 6, m + 3);
    LineTo(dc, r - 6, m - 5);
    SelectObject(dc, oldPen);
}

void PaintText(HDC dc, const Char16* text, COLORREF color, int left, int top, int right, int bottom, UINT format)
{
    RECT rect = {left, top, right, bottom};
    SetTextColor(dc, color);
    DrawTextW(dc, text, -1, &rect, format);
}

void PaintRates(const MonitorRecord* record, HDC dc)
{
    const MonitorDiagram& d = record->diagram;
    if (!d.receive.history || !d.send.history)
        return;
    const int w = int(d.areaWidth), h = int(d.areaHeight);
    Char16 text[DiagramTextSize];
    if (ComposeRateText(text, false, d.receive.history[d.newest], d.receive.peak, record->showCurPeak,
                        record->showMaxPeak, record->bytesPerSecond))
        PaintText(dc, text, d.receive.peaksTextColor, 0, h / 2, w, h, 0);
    if (ComposeRateText(text, true, d.send.history[d.newest], d.send.peak, record->showCurPeak, record->showMaxPeak,
                        record->bytesPerSecond))
        PaintText(dc, text, d.send.peaksTextColor, 0, 0, w, h / 2, 0);
}

void PaintSpeedLines(const MonitorRecord* record, HDC dc)
{
    const MonitorDiagram& d = record->diagram;
    const int w = int(d.areaWidth), h = int(d.areaHeight);
    if (record->connectionCount == 0) {
        PaintText(dc, NotConnectedText, d.receive.notActiveTextColor, 0, h - 11, w, h, 0);
        PaintText(dc, NotConnectedText, d.send.notActiveTextColor, 0, h / 2 - 11, w, h / 2, 0);
        return;
    }
    if (!record->showMaxSpeed)
        return;
    Char16 text[DiagramTextSize];
    ComposeMaxSpeedText(text, d.receive.maxSpeed, d.linkSpeed, record->connectionCount, record->bytesPerSecond);
    PaintText(dc, text, d.receive.maxSpeedTextColor, 0, h - 11, w, h, 0);
    ComposeMaxSpeedText(text, d.send.maxSpeed, d.linkSpeed, record->connectionCount, record->bytesPerSecond);
    PaintText(dc, text, d.send.maxSpeedTextColor, 0, h / 2 - 11, w, h / 2, 0);
}

void PaintConnectionTime(const MonitorRecord* record, HDC dc)
{
    const MonitorDiagram& d = record->diagram;
    Char16 text[DurationTextSize];
    FormatDuration(record->connectionTime, text);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, record->connectionTimeBackground);
    PaintText(dc, text, record->connectionTimeColor, 0, 0, int(d.areaWidth), int(d.areaHeight) / 2, DT_RIGHT);
    SetBkMode(dc, TRANSPARENT);
}

}  // namespace

void PaintMonitor(const MonitorRecord* record, HDC dc)
{
    CopyImage(record, dc);
    // The font goes in before the time-span text, which was measured in it.
    HGDIOBJ oldFont = record->timeArrowFont ? SelectObject(dc, record->timeArrowFont) : nullptr;
    if (record->diagram.timeArrow)
        PaintTimeArrow(record, dc);
    SetBkMode(dc, TRANSPARENT);
    if (record->showCurPeak || record->showMaxPeak)
        PaintRates(record, dc);
    PaintSpeedLines(record, dc);
    if (record->connectionTimeText)
        PaintConnectionTime(record, dc);
    if (oldFont)
        SelectObject(dc, oldFont);
}
