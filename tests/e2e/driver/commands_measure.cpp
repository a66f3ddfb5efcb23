// Whether every visible control of a window shows all of its text: the text
// is measured in the control's own font against the room the control has,
// and sibling controls with text must not lie on each other.
#include "driver.h"

#include <algorithm>
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
static int Dpi, Measured, Problems;
static std::vector<Placed> Boxes;

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

// A font handle belongs to the process that made it; where wine does not
// let another process read it, the dialogs' own face and size stand in.
static HFONT CopyFont(HWND control, bool* assumed)
{
    DWORD_PTR handle = 0;
    LOGFONTW font = {};
    *assumed = !SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 2000, &handle) || !handle ||
        GetObjectW(HFONT(handle), sizeof font, &font) != sizeof font;
    if (*assumed) {
        font = {-MulDiv(8, Dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET};
        wcscpy(font.lfFaceName, L"MS Shell Dlg");
    }
    return CreateFontIndirectW(&font);
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

static BOOL CALLBACK MeasureOne(HWND control, LPARAM)
{
    LONG style = GetWindowLongW(control, GWL_STYLE);
    Kind kind = KindOf(control, style);
    wchar_t text[1024];
    RECT client, screen, room, inside;
    if (!IsWindowVisible(control) || kind == NoText || !ReadWindowText(control, text, 1024) || !text[0])
        return TRUE;
    GetClientRect(control, &client);
    bool assumed = false;
    HFONT font = CopyFont(control, &assumed);
    HGDIOBJ old = SelectObject(Dc, font);
    SIZE needed = Needed(text, kind, style, client.right);
    SelectObject(Dc, old);
    DeleteObject(font);
    int id = GetDlgCtrlID(control);
    Measured++;
    // A group box's caption sits on its top edge: only the width counts.
    if (needed.cx > client.right || (kind != GroupText && needed.cy > client.bottom)) {
        Problems++;
        Print(L"clipped\t%d\tneeds %ldx%ld\thas %ldx%ld\t%ls%ls", id, needed.cx, needed.cy, client.right, client.bottom,
              text, assumed ? L"\t(dialog font assumed)" : L"");
    }
    // The whole control must lie inside its parent, or its edge is cut.
    HWND parent = GetParent(control);
    GetWindowRect(control, &screen);
    GetClientRect(parent, &room);
    MapWindowPoints(parent, nullptr, (POINT*)&room, 2);
    if (!IntersectRect(&inside, &screen, &room) || !EqualRect(&inside, &screen)) {
        Problems++;
        Print(L"outside\t%d\t%ls", id, text);
    }
    // A group box holds its siblings.
    if (kind != GroupText)
        Boxes.push_back({parent, id, screen});
    return TRUE;
}

int Measure(const DriverArgs* args)
{
    Dc = CreateCompatibleDC(nullptr);
    Dpi = ScreenDpi();
    Measured = Problems = 0;
    Boxes.clear();
    if (!Dc)
        return NotMet;
    EnumChildWindows(args->window, MeasureOne, 0);
    DeleteDC(Dc);
    for (size_t a = 0; a < Boxes.size(); ++a) {
        for (size_t b = a + 1; b < Boxes.size(); ++b) {
            RECT common;
            if (Boxes[a].parent == Boxes[b].parent && IntersectRect(&common, &Boxes[a].screen, &Boxes[b].screen)) {
                Problems++;
                Print(L"overlap\t%d\t%d\t%ldx%ld", Boxes[a].id, Boxes[b].id, common.right - common.left,
                      common.bottom - common.top);
            }
        }
    }
    Print(L"dpi %d, %d control(s) measured, %d problem(s)", Dpi, Measured, Problems);
    return Problems ? NotMet : Met;
}
