// Draws a monitor of the default size through the real layout and painting
// code, with a scripted minute and a half of traffic, and saves what a
// window would show. Also checks that the image lands rotated into place:
// with every text off, the painted area must be the ring of columns with
// the newest at the right edge.
//   DiagramRenderCheck <output folder>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "bitmap_file.h"
#include "monitor/diagram_image.h"
#include "monitor/diagram_paint.h"
#include "monitor/monitor_appearance.h"
#include "monitor/diagram_texts.h"
#include "monitor/monitor_settings.h"

namespace {

struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    uint32_t* pixels;
    int width, height;
};

bool OpenCanvas(Canvas* c, int width, int height)
{
    ZeroMemory(c, sizeof *c);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, so rows read as on screen
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    c->dc = CreateCompatibleDC(nullptr);
    if (!c->dc)
        return false;
    void* bits = nullptr;
    c->bitmap = CreateDIBSection(c->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!c->bitmap) {
        DeleteDC(c->dc);
        return false;
    }
    c->oldBitmap = SelectObject(c->dc, c->bitmap);
    c->pixels = static_cast<uint32_t*>(bits);
    c->width = width;
    c->height = height;
    RECT all = {0, 0, width, height};
    FillRect(c->dc, &all, GetSysColorBrush(COLOR_BTNFACE));  // the dialog's own background
    return true;
}

void CloseCanvas(Canvas* c)
{
    SelectObject(c->dc, c->oldBitmap);
    DeleteObject(c->bitmap);
    DeleteDC(c->dc);
}

// The client area of a monitor window of the default size: a tool window
// with caption and sizing border.
SIZE DefaultClientSize()
{
    MonitorSettings settings;
    SetMonitorDefaults(&settings);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    SIZE size = {(settings.right - settings.left) - (frame.right - frame.left),
                 (settings.bottom - settings.top) - (frame.bottom - frame.top)};
    return size;
}

// A steady download with noise, a burst, a pause, and the small upload that
// goes with it; a link of 10 Mbps.
void PlayTraffic(MonitorRecord* record, uint32_t seconds)
{
    const uint32_t linkSpeed = 10000000;
    uint32_t noise = 12345;
    for (uint32_t t = 0; t < seconds; ++t) {
        noise = noise * 1103515245 + 12345;
        const uint32_t jitter = (noise >> 8) % 900000;
        uint32_t receive = 2400000 + jitter;
        if (t >= 40 && t < 62)
            receive = 7200000 + jitter;
        if (t >= 95 && t < 104)
            receive = 0;
        if (t < 8)
            receive = 9400000;  // a start-up peak that has scrolled out by the end
        uint32_t send = receive / 14 + (noise >> 20) % 40000;
        if (t >= 120 && t < 131)
            send = 1600000 + jitter / 3;
        // What the sampling thread does before it hands a sample over.
        if (record->diagram.receive.maxSpeed < linkSpeed)
            record->diagram.receive.maxSpeed = linkSpeed;
        if (record->diagram.send.maxSpeed < linkSpeed)
            record->diagram.send.maxSpeed = linkSpeed;
        record->connectionTime += 10000000;
        AddDiagramSample(&record->diagram, receive, send, record->connectionCount, record->equalScale);
    }
}

bool Render(MonitorRecord* record, SIZE client, const wchar_t* folder, const wchar_t* name)
{
    Canvas canvas;
    if (!OpenCanvas(&canvas, client.cx, client.cy))
        return false;
    PaintMonitor(record, canvas.dc);
    GdiFlush();
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", folder, name);
    bool ok = SaveBitmapFile(path, canvas.pixels, canvas.width, canvas.height);
    CloseCanvas(&canvas);
    std::wprintf(L"%ls %ls\n", ok ? L"saved" : L"could not save", path);
    return ok;
}

// With no text over it, the painted area is the image with its columns
// rotated by the cursor and its rows turned upright.
bool CheckImagePlacement(MonitorRecord* record, SIZE client)
{
    MonitorRecord quiet = *record;
    quiet.showCurPeak = quiet.showMaxPeak = quiet.showMaxSpeed = quiet.connectionTimeText = false;
    Canvas canvas;
    if (!OpenCanvas(&canvas, client.cx, client.cy))
        return false;
    PaintMonitor(&quiet, canvas.dc);
    GdiFlush();
    const MonitorDiagram& d = record->diagram;
    int wrong = 0;
    for (uint32_t y = 0; y < d.areaHeight; ++y)
        for (uint32_t x = 0; x < d.areaWidth; ++x) {
            uint32_t expected = d.pixels[(d.areaHeight - 1 - y) * d.areaWidth + (d.columnCursor + x) % d.areaWidth];
            if ((canvas.pixels[y * canvas.width + x] & 0xFFFFFF) != expected && wrong++ < 5)
                std::wprintf(L"pixel %u,%u is %06x, image has %06x\n", x, y,
                             canvas.pixels[y * canvas.width + x] & 0xFFFFFF, expected);
        }
    CloseCanvas(&canvas);
    std::wprintf(L"image placement: %ls (cursor %u, %d wrong pixels)\n", wrong ? L"WRONG" : L"right", d.columnCursor,
                 wrong);
    return wrong == 0;
}

// The strip is painted over every second without an erase: with smoothed
// text, paints after the first must leave it as the first did.
bool CheckStripRepaint(const MonitorRecord* record, SIZE client)
{
    LOGFONTW look;
    Canvas canvas;
    if (!GetObjectW(record->timeArrowFont, sizeof look, &look) || !OpenCanvas(&canvas, client.cx, client.cy))
        return false;
    look.lfQuality = ANTIALIASED_QUALITY;
    MonitorRecord smooth = *record;
    smooth.timeArrowFont = CreateFontIndirectW(&look);
    const uint32_t* strip = canvas.pixels + record->diagram.stripTop * canvas.width;
    const size_t count = size_t(record->diagram.stripHeight) * canvas.width;
    std::vector<uint32_t> first;
    for (int paint = 0; paint < 4; ++paint) {
        PaintMonitor(&smooth, canvas.dc);
        GdiFlush();
        if (paint == 0)
            first.assign(strip, strip + count);
    }
    const bool same = std::equal(first.begin(), first.end(), strip);
    DeleteObject(smooth.timeArrowFont);
    CloseCanvas(&canvas);
    std::wprintf(L"time strip repainted: %ls\n", same ? L"same" : L"CHANGED");
    return same;
}

struct TextRoom {
    HDC dc;
    int cut;
};

// One text measured in the monitor's font against the room the painting
// gives it.
void Fits(TextRoom* room, const wchar_t* what, const Char16* text, int width, int height)
{
    SIZE size = {0, 0};
    GetTextExtentPoint32W(room->dc, text, int(BoundedLength16(text, DiagramTextSize)), &size);
    if (size.cx <= width && size.cy <= height)
        return;
    room->cut++;
    std::wprintf(L"texts: %ls \"%ls\" needs %ldx%ld, has %dx%d\n", what, text, size.cx, size.cy, width, height);
}

// Every text painted over the diagram fits where it is painted, whatever
// the screen's resolution; the widest rates there are stand for what a
// fast link shows.
bool CheckTextsFit(const MonitorRecord* record)
{
    const MonitorDiagram& d = record->diagram;
    TextRoom room = {CreateCompatibleDC(nullptr), 0};
    if (!room.dc || !record->timeArrowFont)
        return false;
    HGDIOBJ old = SelectObject(room.dc, record->timeArrowFont);
    const int w = int(d.areaWidth), half = int(d.areaHeight) / 2;
    // The speed lines are painted in the last 11 rows of each half.
    const int line = 11;
    Char16 text[DiagramTextSize];
    Fits(&room, L"time span", d.timeText, d.stripWidth, d.stripHeight);
    for (bool send : {false, true}) {
        ComposeRateText(text, send, 999999999, 999999999, true, true, record->bytesPerSecond);
        // The rate line at the top of a half, the speed line at its bottom.
        Fits(&room, L"rates", text, w, half - line);
        ComposeMaxSpeedText(text, 999999999, 0, 2, record->bytesPerSecond);
        Fits(&room, L"maximum speed", text, w, line);
    }
    Fits(&room, L"not connected", NotConnectedText, w, line);
    SelectObject(room.dc, old);
    DeleteDC(room.dc);
    HDC screen = GetDC(nullptr);
    std::wprintf(L"texts: %ls at %d dpi, line height %d\n", room.cut ? L"CUT" : L"fit",
                 screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0, line);
    if (screen)
        ReleaseDC(nullptr, screen);
    return room.cut == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* folder = argc > 1 ? argv[1] : L".";
    const SIZE client = DefaultClientSize();

    MonitorSettings settings;
    SetMonitorDefaults(&settings);
    static wchar_t name[] = L"Ethernet adapter", id[] = L"{5D2A6C1E-0000-4000-8000-000000000001}";
    MonitorRecord record;
    ZeroMemory(&record, sizeof record);
    record.interfaceName = name;
    record.interfaceId = id;
    record.connectionCount = 1;
    record.connectionTime = 36000000000ull + 2 * 600000000ull;  // 1:02:00 already connected
    TakeInitialSettings(&record, settings);
    bool ok = OpenMonitorDiagram(&record, client.cx, client.cy);
    std::wprintf(L"client %ldx%ld, diagram %ux%u, halves %u+%u, time text \"%ls\" at %d..%d\n", client.cx, client.cy,
                 record.diagram.areaWidth, record.diagram.areaHeight, record.diagram.receive.height,
                 record.diagram.send.height, record.diagram.timeText, record.diagram.timeTextLeft,
                 record.diagram.timeTextRight);
    PlayTraffic(&record, record.diagram.areaWidth + 37);
    ok = Render(&record, client, folder, L"default.bmp") && ok;
    ok = CheckImagePlacement(&record, client) && ok;
    ok = CheckTextsFit(&record) && ok;
    ok = CheckStripRepaint(&record, client) && ok;

    // Every option the defaults leave off, on a bigger window.
    settings.flags[EnableVerticalLines] = 1;
    settings.flags[EnableConnectionTimeText] = 1;
    settings.flags[EnableBoldTextsOnWindow] = 1;
    settings.flags[EnableBytesPerSecond] = 0;
    settings.flags[MakeSendReceiveScaleEqual] = 1;
    TakeInitialSettings(&record, settings);
    record.connectionCount = 2;
    const SIZE wide = {client.cx + 120, client.cy + 40};
    ok = LayoutMonitorDiagram(&record, wide.cx, wide.cy) && ok;
    PlayTraffic(&record, 23);
    ok = Render(&record, wide, folder, L"options.bmp") && ok;
    ok = CheckImagePlacement(&record, wide) && ok;
    ok = CheckTextsFit(&record) && ok;

    record.connectionCount = 0;
    ok = Render(&record, wide, folder, L"disconnected.bmp") && ok;

    CloseMonitorDiagram(&record);
    DeleteMonitorFont(&record);
    std::wprintf(L"%ls\n", ok ? L"render check passed" : L"render check FAILED");
    return ok ? 0 : 1;
}
