#include "monitor/diagram_image.h"

static void DeleteImage(MonitorRecord* record)
{
    record->diagram.pixels = nullptr;
    if (record->imageDc) {
        SelectObject(record->imageDc, record->imageDcBitmap);
        DeleteDC(record->imageDc);
        record->imageDc = nullptr;
    }
    if (record->image)
        DeleteObject(record->image);
    record->image = nullptr;
}

static HBITMAP CreateDiagramImage(HDC dc, uint32_t width, uint32_t height, void** pixels)
{
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = LONG(width);
    info.bmiHeader.biHeight = LONG(height);  // positive: bottom row first, as the model counts
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

bool LayoutMonitorDiagram(MonitorRecord* record, int clientWidth, int clientHeight)
{
    MonitorDiagram* d = &record->diagram;
    DeleteImage(record);
    bool ok = LayoutDiagram(d, clientWidth, clientHeight);

    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc)
        return false;
    if (d->timeArrow) {
        HGDIOBJ oldFont = record->timeArrowFont ? SelectObject(dc, record->timeArrowFont) : nullptr;
        SIZE size = {0, 0};
        if (GetTextExtentPoint32W(dc, d->timeText, int(BoundedLength16(d->timeText, TimeTextSize)), &size))
            PlaceTimeText(d, size.cx, size.cy);
        if (oldFont)
            SelectObject(dc, oldFont);
    }
    if (ok && d->areaWidth != 0 && d->areaHeight != 0) {
        void* pixels = nullptr;
        record->image = CreateDiagramImage(dc, d->areaWidth, d->areaHeight, &pixels);
        if (record->image) {
            d->pixels = static_cast<uint32_t*>(pixels);
            record->imageDcBitmap = SelectObject(dc, record->image);
            record->imageDc = dc;
            dc = nullptr;
        } else {
            ok = false;
        }
    }
    if (dc)
        DeleteDC(dc);
    RedrawDiagram(d, record->equalScale);
    return ok;
}

bool OpenMonitorDiagram(MonitorRecord* record, int clientWidth, int clientHeight)
{
    if (!record->arrowPen)
        record->arrowPen = CreatePen(PS_SOLID, 1, record->diagram.timeArrowColor);
    return LayoutMonitorDiagram(record, clientWidth, clientHeight);
}

void CloseMonitorDiagram(MonitorRecord* record)
{
    DeleteImage(record);
    if (record->arrowPen)
        DeleteObject(record->arrowPen);
    record->arrowPen = nullptr;
    ReleaseDiagram(&record->diagram);
}
