// Draws a monitor of the default size through the real layout and painting
// code, with a scripted two minutes of traffic, and saves what a window
// would show. Also checks that the image lands rotated into place (with
// every text off, the painted area is the ring of columns with the newest at
// the right edge), that repaints leave the time strip as it was, and that
// every text fits where it is painted.
//   DiagramRenderCheck <output folder>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "monitor/diagram_image.h"
#include "monitor/diagram_paint.h"
#include "monitor/monitor_appearance.h"
#include "monitor/diagram_texts.h"
#include "monitor/monitor_settings.h"

namespace {

// A top-down 32-bit bitmap in memory on the dialog's own background; a .bmp
// file may keep its rows in the same order.
struct Canvas {
    BITMAPINFOHEADER info;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      reinterpret_cast<void**>(&pixels), nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);

    Canvas(SIZE size, const MonitorRecord* record) : info{sizeof info, size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0}
    {
        RECT all = {0, 0, size.cx, size.cy};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        if (pixels)
            PaintMonitor(record, dc);
        GdiFlush();
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool Save(const wchar_t* path) const
    {
        const DWORD bytes = 4 * info.biWidth * -info.biHeight, head = sizeof(BITMAPFILEHEADER) + sizeof info;
        const BITMAPFILEHEADER file = {0x4D42, head + bytes, 0, 0, head};
        HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        bool ok = pixels && out != INVALID_HANDLE_VALUE && WriteFile(out, &file, sizeof file, &n, nullptr) &&
            WriteFile(out, &info, sizeof info, &n, nullptr) && WriteFile(out, pixels, bytes, &n, nullptr) && n == bytes;
        if (out != INVALID_HANDLE_VALUE)
            CloseHandle(out);
        std::wprintf(L"%ls %ls\n", ok ? L"saved" : L"could not save", path);
        return ok;
    }
};

// A download with noise, a busy stretch and a pause, and the upload that
// goes with it and one of its own; a link of 10 Mbps.
void PlayTraffic(MonitorRecord* record, uint32_t seconds)
{
    // What the sampling thread does before it hands a sample over; the
    // maximum is never lowered.
    for (DiagramHalf* half : {&record->diagram.receive, &record->diagram.send})
        half->maxSpeed = std::max(half->maxSpeed, 10000000u);
    for (uint32_t t = 0; t < seconds; ++t) {
        const uint32_t receive = t >= 95 && t < 104 ? 0 : (t >= 40 && t < 62 ? 7200000 : 2400000) + t * 7919 % 900000;
        record->connectionTime += 10000000;
        AddDiagramSample(&record->diagram, receive, t >= 120 && t < 131 ? 1600000 : receive / 14,
                         record->connectionCount, record->equalScale);
    }
}

// Saves the picture; then, with no text over it, the painted area must be
// the image with its columns rotated by the cursor and its rows upright. The
// time strip is painted over every second without an erase: with smoothed
// text, paints after the first must leave it as the first did.
bool Render(MonitorRecord* record, SIZE client, const wchar_t* folder, const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", folder, name);
    MonitorRecord quiet = *record;
    quiet.showCurPeak = quiet.showMaxPeak = quiet.showMaxSpeed = quiet.connectionTimeText = false;
    Canvas canvas(client, &quiet);
    if (!Canvas(client, record).Save(path) || !canvas.pixels)
        return false;
    const MonitorDiagram& d = record->diagram;
    int wrong = 0;
    for (uint32_t y = 0; y < d.areaHeight; ++y)
        for (uint32_t x = 0; x < d.areaWidth; ++x) {
            uint32_t got = canvas.pixels[y * client.cx + x] & 0xFFFFFF,
                     want = d.pixels[(d.areaHeight - 1 - y) * d.areaWidth + (d.columnCursor + x) % d.areaWidth];
            if (got != want && wrong++ < 5)
                std::wprintf(L"pixel %u,%u is %06x, image has %06x\n", x, y, got, want);
        }
    std::wprintf(L"image placement: %ls (cursor %u, %d wrong pixels)\n", wrong ? L"WRONG" : L"right", d.columnCursor,
                 wrong);
    const uint32_t* strip = canvas.pixels + d.stripTop * client.cx;
    std::vector<uint32_t> first(strip, strip + d.stripHeight * client.cx);
    for (int paint = 0; paint < 3; ++paint)
        PaintMonitor(&quiet, canvas.dc);
    GdiFlush();
    bool same = std::equal(first.begin(), first.end(), strip);
    std::wprintf(L"time strip repainted: %ls\n", same ? L"same" : L"CHANGED");
    return !wrong && same;
}

// The monitor's settings with the time strip's font smoothed.
void TakeSmoothSettings(MonitorRecord* record, const MonitorSettings& settings)
{
    LOGFONTW look;
    DeleteMonitorFont(record);
    TakeInitialSettings(record, settings);
    // Without a font the texts check fails.
    if (!GetObjectW(record->timeArrowFont, sizeof look, &look))
        return;
    look.lfQuality = ANTIALIASED_QUALITY;
    DeleteMonitorFont(record);
    record->timeArrowFont = CreateFontIndirectW(&look);
}

// Every text painted over the diagram fits where it is painted, whatever the
// screen's resolution; the widest rates stand for what a fast link shows.
bool CheckTextsFit(const MonitorRecord* record)
{
    const MonitorDiagram& d = record->diagram;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, record->timeArrowFont);
    // The speed lines are painted in the last 11 rows of each half, the rate
    // line above them.
    const int w = int(d.areaWidth), line = 11, rates = int(d.areaHeight) / 2 - line;
    Char16 text[3][DiagramTextSize];
    for (int send = 0; send < 2; ++send)
        ComposeRateText(text[send], send, 999999999, 999999999, true, true, record->bytesPerSecond);
    ComposeMaxSpeedText(text[2], 999999999, 0, 2, record->bytesPerSecond);
    const struct {
        const Char16* text;
        int width, height;
    } texts[] = {{d.timeText, d.stripWidth, d.stripHeight},
                 {text[0], w, rates},
                 {text[1], w, rates},
                 {text[2], w, line},
                 {NotConnectedText, w, line}};
    int cut = dc && record->timeArrowFont ? 0 : 1;
    for (const auto& t : texts) {
        SIZE size = {0, 0};
        GetTextExtentPoint32W(dc, t.text, int(BoundedLength16(t.text, DiagramTextSize)), &size);
        if (size.cx > t.width || size.cy > t.height)
            cut++,
                std::wprintf(L"texts: \"%ls\" needs %ldx%ld, has %dx%d\n", t.text, size.cx, size.cy, t.width, t.height);
    }
    // A memory DC made for the screen has the screen's resolution.
    std::wprintf(L"texts: %ls at %d dpi\n", cut ? L"CUT" : L"fit", GetDeviceCaps(dc, LOGPIXELSY));
    SelectObject(dc, old);
    DeleteDC(dc);
    return cut == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const wchar_t* folder = argc > 1 ? argv[1] : L".";
    MonitorSettings settings;
    SetMonitorDefaults(&settings);
    // The client area of a monitor window of the default size: a tool window
    // with caption and sizing border.
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    const SIZE client = {settings.right - settings.left - (frame.right - frame.left),
                         settings.bottom - settings.top - (frame.bottom - frame.top)};
    MonitorRecord record;
    ZeroMemory(&record, sizeof record);
    record.connectionCount = 1;
    // 1:02:00 already connected, in 100 ns.
    record.connectionTime = 37200000000ull;
    TakeSmoothSettings(&record, settings);
    bool ok = OpenMonitorDiagram(&record, client.cx, client.cy);
    std::wprintf(L"client %ldx%ld, diagram %ux%u, time text \"%ls\"\n", client.cx, client.cy, record.diagram.areaWidth,
                 record.diagram.areaHeight, record.diagram.timeText);
    PlayTraffic(&record, record.diagram.areaWidth + 37);
    ok = Render(&record, client, folder, L"default.bmp") && ok;
    ok = CheckTextsFit(&record) && ok;

    // Every option the defaults leave off, on a bigger window.
    for (MonitorFlag on :
         {EnableVerticalLines, EnableConnectionTimeText, EnableBoldTextsOnWindow, MakeSendReceiveScaleEqual})
        settings.flags[on] = 1;
    settings.flags[EnableBytesPerSecond] = 0;
    TakeSmoothSettings(&record, settings);
    record.connectionCount = 2;
    const SIZE wide = {client.cx + 120, client.cy + 40};
    ok = LayoutMonitorDiagram(&record, wide.cx, wide.cy) && ok;
    PlayTraffic(&record, 23);
    ok = Render(&record, wide, folder, L"options.bmp") && ok;
    ok = CheckTextsFit(&record) && ok;

    CloseMonitorDiagram(&record);
    DeleteMonitorFont(&record);
    std::wprintf(L"%ls\n", ok ? L"render check passed" : L"render check FAILED");
    return ok ? 0 : 1;
}
