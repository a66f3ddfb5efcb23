#include "tray/menu_draw_parts.h"
#include "tray/menu_geometry.h"

static const uint32_t BannerTopColor = MenuRgb(64, 64, 128);
static const uint32_t BannerBottomColor = MenuRgb(160, 160, 255);
static const wchar_t BannerText[] = L"ZorvanH Agent";

static HFONT CreateBannerFont(int width)
{
    LOGFONTW font;
    if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font))
        ZeroMemory(&font, sizeof font);
    font.lfHeight = width - 4;
    font.lfWidth = width / 2;
    font.lfEscapement = 900;  // reads upwards
    font.lfOrientation = 900;
    font.lfWeight = 800;
    font.lfCharSet = 0;
    font.lfOutPrecision = 8;
    font.lfQuality = 4;
    font.lfPitchAndFamily = 0x52;
    font.lfFaceName[0] = 0;
    return CreateFontIndirectW(&font);
}

static bool PaintGradient(void* pixels, int width, int height)
{
    auto* rows = static_cast<uint32_t*>(AllocZeroed(SIZE_T(height) * sizeof(uint32_t)));
    if (!rows)
        return false;
    FillBannerRows(BannerTopColor, BannerBottomColor, height, rows);
    auto* pixel = static_cast<uint32_t*>(pixels);
    for (int y = 0; y < height; ++y) {
        uint32_t c = rows[y];
        uint32_t dib = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        for (int x = 0; x < width; ++x)
            *pixel++ = dib;
    }
    FreeBlock(rows);
    return true;
}

HBITMAP BuildMenuBanner(HDC dc, int width, int* height)
{
    HFONT font = CreateBannerFont(width);
    HDC memory = font ? CreateCompatibleDC(dc) : nullptr;
    if (!memory) {
        DeleteGdiObject(&font);
        return nullptr;
    }
    HGDIOBJ oldFont = SelectObject(memory, font);
    RECT measured = {0, 0, width, *height + width / 2};
    DrawTextW(memory, BannerText, -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_BOTTOM);
    int bannerHeight = BannerHeight(*height, width, measured.right);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -bannerHeight;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP banner = bannerHeight > 0 ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0) : nullptr;
    if (banner && !PaintGradient(pixels, width, bannerHeight))
        DeleteGdiObject(&banner);
    if (banner) {
        HGDIOBJ oldBitmap = SelectObject(memory, banner);
        SetBkMode(memory, TRANSPARENT);
        RECT box = {0, 0, width, bannerHeight + width / 2};
        SetTextColor(memory, RGB(0, 0, 0));
        DrawTextW(memory, BannerText, -1, &box, DT_SINGLELINE | DT_BOTTOM);
        box.left += 2;
        box.bottom -= 3;
        SetTextColor(memory, RGB(255, 255, 255));
        DrawTextW(memory, BannerText, -1, &box, DT_SINGLELINE | DT_BOTTOM);
        SelectObject(memory, oldBitmap);
        *height = bannerHeight;
    }
    SelectObject(memory, oldFont);
    DeleteDC(memory);
    DeleteObject(font);
    return banner;
}
