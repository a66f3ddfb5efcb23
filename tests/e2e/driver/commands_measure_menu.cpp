#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <cstdlib>

// "measure-menu" judges an owner-drawn popup menu from what it shows: its
// items belong to another process, so their sizes cannot be asked for, but
// text that does not fit its item is cut at the item's right edge, which
// lies the width of a submenu arrow inside the menu's, and items too low
// for their text run into each other.

struct MenuPicture {
    int width, height;
    DWORD* pixels;  // top row first, 0x00RRGGBB
};

static bool CapturePicture(const RECT* area, MenuPicture* picture)
{
    picture->width = area->right - area->left;
    picture->height = area->bottom - area->top;
    picture->pixels = nullptr;
    if (picture->width <= 0 || picture->height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return false;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture->width;
    info.bmiHeader.biHeight = -picture->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = memory ? CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    bool copied = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, picture->width, picture->height, screen, area->left, area->top, SRCCOPY) != 0;
        SelectObject(memory, old);
        size_t bytes = (size_t)picture->width * picture->height * sizeof(DWORD);
        picture->pixels = copied ? (DWORD*)malloc(bytes) : nullptr;
        if (picture->pixels)
            memcpy(picture->pixels, bits, bytes);
        DeleteObject(bitmap);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture->pixels != nullptr;
}

static DWORD PixelAt(const MenuPicture* picture, int x, int y)
{
    return picture->pixels[(size_t)y * picture->width + x] & 0xFFFFFF;
}

static int Distance(DWORD pixel, COLORREF color)
{
    int r = (int)(pixel >> 16 & 0xFF) - GetRValue(color);
    int g = (int)(pixel >> 8 & 0xFF) - GetGValue(color);
    int b = (int)(pixel & 0xFF) - GetBValue(color);
    return abs(r) + abs(g) + abs(b);
}

// The banner's gradient runs from dark to light blue down the left edge.
static bool IsBanner(DWORD pixel)
{
    int r = pixel >> 16 & 0xFF, b = pixel & 0xFF;
    return b > r + 40;
}

static int BannerRight(const MenuPicture* picture)
{
    int x = 0;
    while (x < picture->width && IsBanner(PixelAt(picture, x, 1)))
        ++x;
    return x;
}

static bool IsInk(const MenuPicture* picture, int x, int y, COLORREF background)
{
    return Distance(PixelAt(picture, x, y), background) >= 150;
}

// A column or row of the frame the menu draws inside its client area is
// ink almost all along.
static bool FrameColumn(const MenuPicture* picture, int x, COLORREF background)
{
    int ink = 0;
    for (int y = 0; y < picture->height; ++y)
        ink += IsInk(picture, x, y, background) ? 1 : 0;
    return ink * 10 > picture->height * 9;
}

static bool FrameRow(const MenuPicture* picture, int y, int left, COLORREF background)
{
    int ink = 0;
    for (int x = left; x < picture->width; ++x)
        ink += IsInk(picture, x, y, background) ? 1 : 0;
    return ink * 10 > (picture->width - left) * 9;
}

// Where the texts begin: past the pictures, at the first column left blank
// by every item (separators' lines aside).
static int TextLeft(const MenuPicture* picture, int left, int right, COLORREF background)
{
    bool seenInk = false;
    for (int x = left; x < right; ++x) {
        bool blank = true;
        for (int y = 0; y < picture->height && blank; ++y) {
            if (!IsInk(picture, x, y, background))
                continue;
            int rowInk = 0;
            for (int r = left; r < right; ++r)
                rowInk += IsInk(picture, r, y, background) ? 1 : 0;
            blank = rowInk > (right - left) * 3 / 4;  // a separator
        }
        if (!blank)
            seenInk = true;
        else if (seenInk)
            return x + 1;
    }
    return left;
}

int MeasureMenuCommand(const DriverArgs* args)
{
    ULONGLONG expected = 0;
    if (args->count < 2 || !ParseNumber(args->words[1], &expected))
        return UsageError;
    HWND menu = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (menu == nullptr)
        return ConditionNotMet;
    RECT area;
    GetClientRect(menu, &area);
    MapWindowPoints(menu, nullptr, (POINT*)&area, 2);
    MenuPicture picture;
    if (!CapturePicture(&area, &picture)) {
        PrintError(L"cannot read the menu's pixels");
        return ConditionNotMet;
    }
    const COLORREF background = GetSysColor(COLOR_MENU);
    const int arrowRoom = GetSystemMetrics(SM_CXMENUCHECK);
    int right = picture.width, top = 0, bottom = picture.height;
    while (right > 0 && FrameColumn(&picture, right - 1, background))
        --right;
    const int bannerRight = BannerRight(&picture);
    while (top < bottom && FrameRow(&picture, top, bannerRight, background))
        ++top;
    while (bottom > top && FrameRow(&picture, bottom - 1, bannerRight, background))
        --bottom;
    const int left = TextLeft(&picture, bannerRight + 1, right, background);
    int problems = 0, bands = 0, bandTop = -1;
    int bandRight = -1;
    // A text drawn up to the item's edge was cut there: a text that fits
    // ends short of it by the item's margin.
    const int itemRight = right - arrowRoom;
    for (int y = top; y <= bottom; ++y) {
        int inkCount = 0, textRight = -1;
        if (y < bottom) {
            for (int x = left; x < right; ++x) {
                if (!IsInk(&picture, x, y, background))
                    continue;
                ++inkCount;
                if (x < itemRight)
                    textRight = x;
            }
            // A separator's line runs across the whole item.
            if (inkCount > (right - left) * 3 / 4)
                inkCount = 0;
        }
        if (inkCount > 0) {
            if (bandTop < 0) {
                bandTop = y;
                bandRight = -1;
                if (y == top) {
                    ++problems;
                    PrintLine(L"cut\ttext against the menu's top edge");
                }
            }
            if (textRight > bandRight)
                bandRight = textRight;
        } else if (bandTop >= 0) {
            ++bands;
            PrintLine(L"item\t%d\trows %d-%d\ttext from x=%d to x=%d of %d", bands, bandTop, y - 1, left, bandRight,
                      right);
            if (bandRight >= itemRight - 2) {
                ++problems;
                PrintLine(L"cut\titem %d: its text reaches the item's right edge at x=%d", bands, itemRight);
            }
            if (y == bottom) {
                ++problems;
                PrintLine(L"cut\titem %d: its text reaches the menu's bottom edge", bands);
            }
            bandTop = -1;
        }
    }
    free(picture.pixels);
    // Texts of neighbouring items that touch read as one.
    if ((ULONGLONG)bands != expected) {
        ++problems;
        PrintLine(L"items\t%d lines of text, not %llu", bands, expected);
    }
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    PrintLine(L"dpi %d, %d item(s) measured, %d problem(s)", dpi, bands, problems);
    return problems == 0 ? ConditionMet : ConditionNotMet;
}
