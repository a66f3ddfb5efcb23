// Judges an owner-drawn popup menu from what it shows: its items belong to
// another process, so their sizes cannot be asked for, but text that does
// not fit its item is cut at the item's right edge, which lies the width of
// a submenu arrow inside the menu's, and items too low for their text run
// into each other.
#include "driver.h"

#include <algorithm>
#include <cstdlib>

// One measuring at a time: commands run one after another.
static Canvas Picture;
static COLORREF Background;
static int Problems;

template <typename... Words> static void Problem(const wchar_t* format, Words... words)
{
    ++Problems;
    Print(format, words...);
}

// Pixels in [x0, x1) x [y0, y1) that stand out from the menu's background.
static int Ink(int x0, int x1, int y0, int y1)
{
    int ink = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            DWORD pixel = Picture.pixels[y * Picture.width + x];
            ink += abs(int(pixel >> 16 & 0xFF) - GetRValue(Background)) +
                    abs(int(pixel >> 8 & 0xFF) - GetGValue(Background)) +
                    abs(int(pixel & 0xFF) - GetBValue(Background)) >=
                150;
        }
    }
    return ink;
}

// A separator's line runs across the whole item.
static bool Separator(int left, int right, int y)
{
    return Ink(left, right, y, y + 1) > (right - left) * 3 / 4;
}

// Where the texts begin: past the pictures, at the first column left blank
// by every item (separators aside).
static int TextLeft(int left, int right)
{
    bool seenInk = false;
    for (int x = left; x < right; ++x) {
        bool blank = true;
        for (int y = 0; y < Picture.height && blank; ++y)
            blank = !Ink(x, x + 1, y, y + 1) || Separator(left, right, y);
        if (!blank)
            seenInk = true;
        else if (seenInk)
            return x + 1;
    }
    return left;
}

// Prints the items the picture shows and where their texts are cut; the
// number of items.
static int Judge()
{
    int width = Picture.width, right = width, top = 0, bottom = Picture.height, banner = 0;
    // The frame the menu draws inside its client area is ink almost all
    // along; the banner's gradient runs from dark to light blue down the
    // left edge.
    while (right > 0 && Ink(right - 1, right, 0, bottom) * 10 > bottom * 9)
        --right;
    while (banner < width &&
           (Picture.pixels[width + banner] & 0xFF) > (Picture.pixels[width + banner] >> 16 & 0xFF) + 40)
        ++banner;
    while (top < bottom && Ink(banner, width, top, top + 1) * 10 > (width - banner) * 9)
        ++top;
    while (bottom > top && Ink(banner, width, bottom - 1, bottom) * 10 > (width - banner) * 9)
        --bottom;
    const int left = TextLeft(banner + 1, right);
    // A text drawn up to the item's edge was cut there: a text that fits
    // ends short of it by the item's margin.
    const int itemRight = right - GetSystemMetrics(SM_CXMENUCHECK);
    int bands = 0, bandTop = -1, bandRight = -1;
    for (int y = top; y <= bottom; ++y) {
        int textRight = itemRight - 1;
        while (y < bottom && textRight >= left && !Ink(textRight, textRight + 1, y, y + 1))
            --textRight;
        if (y < bottom && Ink(left, right, y, y + 1) && !Separator(left, right, y)) {
            if (bandTop < 0 && y == top)
                Problem(L"cut\ttext against the menu's top edge");
            bandTop = bandTop < 0 ? y : bandTop;
            bandRight = std::max(bandRight, textRight);
        } else if (bandTop >= 0) {
            Print(L"item\t%d\trows %d-%d\ttext from x=%d to x=%d of %d", ++bands, bandTop, y - 1, left, bandRight,
                  right);
            if (bandRight >= itemRight - 2)
                Problem(L"cut\titem %d: its text reaches the item's right edge at x=%d", bands, itemRight);
            if (y == bottom)
                Problem(L"cut\titem %d: its text reaches the menu's bottom edge", bands);
            bandTop = bandRight = -1;
        }
    }
    return bands;
}

int MeasureMenu(const DriverArgs* args)
{
    RECT area;
    GetClientRect(args->window, &area);
    MapWindowPoints(args->window, nullptr, (POINT*)&area, 2);
    Background = GetSysColor(COLOR_MENU);
    Problems = 0;
    int bands = 0;
    // A menu is found once it is on show, which may be before it has drawn
    // its items: it is looked at again until it shows some text.
    do {
        if (!GrabScreen(&Picture, area)) {
            Print(L"cannot read the menu's pixels");
            return NotMet;
        }
        bands = Judge();
        CloseCanvas(&Picture);
    } while (!bands && WaitStep(args));
    // Texts of neighbouring items that touch read as one.
    if (ULONGLONG(bands) != args->number[1])
        Problem(L"items\t%d lines of text, not %llu", bands, args->number[1]);
    Print(L"dpi %d, %d item(s) measured, %d problem(s)", ScreenDpi(), bands, Problems);
    return Problems ? NotMet : Met;
}
