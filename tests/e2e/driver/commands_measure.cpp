// Whether a window's texts fit. A dialog's controls are measured in their
// own fonts against the room they have, and sibling controls with text must
// not lie on each other. An owner-drawn popup menu is judged from what it
// shows: its items belong to another process, so their sizes cannot be asked
// for, but text that does not fit its item is cut at the item's right edge,
// which lies the width of a submenu arrow inside the menu's, and items too
// low for their text run into each other.
#include "driver.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <vector>

enum Kind { NoText, StaticText, PushText, CheckText, GroupText };

struct Placed {
    HWND parent;
    int id;
    RECT screen;
};

// One measuring at a time: commands run one after another.
static HDC Dc;
static int Dpi, Problems;
static std::vector<Placed> Boxes;
static Canvas Picture;
// The menu's background colour as the picture holds colours.
static DWORD Background;

static void Start()
{
    HDC screen = GetDC(nullptr);
    Dpi = GetDeviceCaps(screen, LOGPIXELSY);
    Problems = 0;
    ReleaseDC(nullptr, screen);
}

template <typename... Words> static void Problem(const wchar_t* format, Words... words)
{
    ++Problems;
    Print(format, words...);
}

static int Summary(const wchar_t* what, int count)
{
    Print(L"dpi %d, %d %ls(s) measured, %d problem(s)", Dpi, count, what, Problems);
    return Problems ? NotMet : Met;
}

static int Scale(int pixels)
{
    return MulDiv(pixels, Dpi, 96);
}

// Owner-drawn controls and the like draw their own text; an ellipsis is a
// chosen way of showing a long text.
static Kind KindOf(HWND control, LONG style)
{
    LONG type = style & SS_TYPEMASK, button = style & BS_TYPEMASK;
    if (IsClass(control, L"Static"))
        return (type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) && !(style & SS_ELLIPSISMASK)
            ? StaticText
            : NoText;
    if (!IsClass(control, L"Button"))
        return NoText;
    if (button == BS_GROUPBOX)
        return GroupText;
    if (button <= BS_DEFPUSHBUTTON)
        return PushText;
    if (button <= BS_AUTO3STATE || button == BS_AUTORADIOBUTTON)
        return style & BS_PUSHLIKE ? PushText : CheckText;
    return NoText;
}

// The room the text needs, with what the control draws around it (a
// button's edge, a check box's box), which the text may not use.
static SIZE Needed(const wchar_t* text, Kind kind, LONG style, int width)
{
    int side = kind == PushText ? 2 * Scale(4)
        : kind == CheckText     ? Scale(13) + Scale(4) + 2
        : kind == GroupText     ? 2 * Scale(8)
                                : 0;
    int high = kind == PushText ? 2 * Scale(3) : 0;
    bool wraps = kind == StaticText ? (style & SS_TYPEMASK) <= SS_RIGHT : (style & BS_MULTILINE) != 0;
    RECT box = {0, 0, std::max(width - side, 1), 0};
    DrawTextW(Dc, text, -1, &box,
              DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) |
                  (kind == StaticText && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
    return {box.right - box.left + side, box.bottom - box.top + high};
}

static BOOL CALLBACK MeasureOne(HWND control, LPARAM measured)
{
    LONG style = GetWindowLongW(control, GWL_STYLE);
    Kind kind = KindOf(control, style);
    wchar_t text[1024];
    RECT client, screen, room, inside;
    if (!IsWindowVisible(control) || kind == NoText || !ReadWindowText(control, text, 1024) || !text[0])
        return TRUE;
    GetClientRect(control, &client);
    // A font handle belongs to the process that made it; where another
    // process cannot read it (wine), the dialogs' own face and size stand in.
    DWORD_PTR handle = 0;
    LOGFONTW shape = {-MulDiv(8, Dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg"};
    SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 2000, &handle);
    GetObjectW(HFONT(handle), sizeof shape, &shape);
    HFONT font = CreateFontIndirectW(&shape);
    HGDIOBJ old = SelectObject(Dc, font);
    SIZE needed = Needed(text, kind, style, client.right);
    SelectObject(Dc, old);
    DeleteObject(font);
    int id = GetDlgCtrlID(control);
    ++*(int*)measured;
    // A group box's caption sits on its top edge: only the width counts.
    if (needed.cx > client.right || (kind != GroupText && needed.cy > client.bottom))
        Problem(L"clipped\t%d\t%ldx%ld in %ldx%ld\t%ls", id, needed.cx, needed.cy, client.right, client.bottom, text);
    // The whole control must lie inside its parent, or its edge is cut.
    HWND parent = GetParent(control);
    GetWindowRect(control, &screen);
    GetClientRect(parent, &room);
    MapWindowPoints(parent, nullptr, (POINT*)&room, 2);
    if (!IntersectRect(&inside, &screen, &room) || !EqualRect(&inside, &screen))
        Problem(L"outside\t%d\t%ls", id, text);
    // A group box holds its siblings.
    for (const Placed& other : Boxes)
        if (kind != GroupText && other.parent == parent && IntersectRect(&inside, &other.screen, &screen))
            Problem(L"overlap\t%d\t%d\t%ldx%ld", other.id, id, inside.right - inside.left, inside.bottom - inside.top);
    if (kind != GroupText)
        Boxes.push_back({parent, id, screen});
    return TRUE;
}

int Measure(const DriverArgs* args)
{
    int measured = 0;
    Dc = CreateCompatibleDC(nullptr);
    Start();
    Boxes.clear();
    if (!Dc)
        return NotMet;
    EnumChildWindows(args->window, MeasureOne, LPARAM(&measured));
    DeleteDC(Dc);
    return Summary(L"control", measured);
}

// Pixels in [x0, x1) x [y0, y1) that stand out from the menu's background.
static int Ink(int x0, int x1, int y0, int y1)
{
    int ink = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int distance = 0;
            for (int shift = 0; shift < 24; shift += 8)
                distance +=
                    abs(int(Picture.pixels[y * Picture.width + x] >> shift & 0xFF) - int(Background >> shift & 0xFF));
            ink += distance >= 150;
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
    int left = TextLeft(banner + 1, right);
    // A text drawn up to the item's edge was cut there: a text that fits
    // ends short of it by the item's margin.
    int itemRight = right - GetSystemMetrics(SM_CXMENUCHECK);
    int bands = 0, bandTop = -1, bandRight = -1;
    for (int y = top; y <= bottom; ++y) {
        int textRight = itemRight - 1;
        while (y < bottom && textRight >= left && !Ink(textRight, textRight + 1, y, y + 1))
            --textRight;
        if (y < bottom && Ink(left, right, y, y + 1) && !Separator(left, right, y)) {
            if (bandTop < 0 && y == top)
                Problem(L"cut\tat the top edge");
            bandTop = bandTop < 0 ? y : bandTop;
            bandRight = std::max(bandRight, textRight);
        } else if (bandTop >= 0) {
            Print(L"item\t%d\trows %d-%d\tx %d-%d of %d", ++bands, bandTop, y - 1, left, bandRight, right);
            if (bandRight >= itemRight - 2)
                Problem(L"cut\titem %d at its right edge x=%d", bands, itemRight);
            if (y == bottom)
                Problem(L"cut\titem %d at the bottom edge", bands);
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
    COLORREF menu = GetSysColor(COLOR_MENU);
    Background = RGB(GetBValue(menu), GetGValue(menu), GetRValue(menu));
    Start();
    int bands = 0;
    // A menu is found once it is on show, which may be before it has drawn
    // its items: it is looked at again until it shows some text.
    do {
        if (!GrabScreen(&Picture, area)) {
            Print(L"no pixels");
            return NotMet;
        }
        bands = Judge();
        CloseCanvas(&Picture);
    } while (!bands && WaitStep(args));
    // Texts of neighbouring items that touch read as one.
    if (ULONGLONG(bands) != args->number[1])
        Problem(L"items\t%d not %llu", bands, args->number[1]);
    return Summary(L"item", bands);
}
