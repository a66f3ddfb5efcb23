#include "commands.h"
#include "driver_output.h"
#include "window_query.h"

#include <cwchar>

// "measure" checks that every visible control of a window shows all of its
// text: the text is measured in the control's own font against the room the
// control has, and sibling controls with text must not lie on each other.

struct MeasuredControl {
    HWND parent;
    int id;
    RECT screen;
    bool container;  // a group box, which holds its siblings
};

struct MeasureState {
    HDC dc;
    int dpi;
    int measured;
    int problems;
    int count;
    MeasuredControl controls[512];
};

static int Scale(int pixels, int dpi)
{
    return MulDiv(pixels, dpi, 96);
}

// A font handle belongs to the process that made it; where wine does not
// let another process read it, the dialogs' own face and size stand in.
static HFONT CopyControlFont(HWND control, int dpi, bool* assumed)
{
    DWORD_PTR handle = 0;
    LOGFONTW font;
    ZeroMemory(&font, sizeof font);
    *assumed = false;
    if (SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 2000, &handle) && handle != 0 &&
        GetObjectW((HFONT)handle, sizeof font, &font) == sizeof font)
        return CreateFontIndirectW(&font);
    *assumed = true;
    font.lfHeight = -MulDiv(8, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy(font.lfFaceName, L"MS Shell Dlg");
    return CreateFontIndirectW(&font);
}

enum TextKind { NoText, StaticText, PushText, CheckText, GroupText };

static TextKind KindOf(HWND control, LONG style)
{
    wchar_t className[64];
    if (GetClassNameW(control, className, 64) == 0)
        return NoText;
    if (_wcsicmp(className, L"Static") == 0) {
        LONG type = style & SS_TYPEMASK;
        bool textual =
            type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE;
        // An ellipsis is a chosen way of showing a long text.
        return textual && !(style & SS_ELLIPSISMASK) ? StaticText : NoText;
    }
    if (_wcsicmp(className, L"Button") != 0)
        return NoText;
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return PushText;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return (style & BS_PUSHLIKE) ? PushText : CheckText;
    case BS_GROUPBOX:
        return GroupText;
    default:
        return NoText;  // owner-drawn and the like draw their own text
    }
}

// The room the text needs, in the control's font: width by height.
static SIZE NeededSize(HDC dc, const wchar_t* text, TextKind kind, LONG style, int roomWidth, int dpi)
{
    UINT format = DT_CALCRECT;
    bool wraps = false;
    if (kind == StaticText) {
        LONG type = style & SS_TYPEMASK;
        wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        if (style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
    } else {
        wraps = (style & BS_MULTILINE) != 0;
    }
    // What the control draws around its text, which the text may not use.
    int sideRoom = 0, heightRoom = 0;
    if (kind == PushText) {
        sideRoom = 2 * Scale(4, dpi);
        heightRoom = 2 * Scale(3, dpi);
    } else if (kind == CheckText) {
        sideRoom = Scale(13, dpi) + Scale(4, dpi) + 2;
    } else if (kind == GroupText) {
        sideRoom = 2 * Scale(8, dpi);
    }
    RECT box = {0, 0, roomWidth - sideRoom, 0};
    if (box.right < 1)
        box.right = 1;
    format |= wraps ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextW(dc, text, -1, &box, format);
    SIZE needed = {box.right - box.left + sideRoom, box.bottom - box.top + heightRoom};
    return needed;
}

static void MeasureOne(MeasureState* state, HWND control)
{
    LONG style = GetWindowLongW(control, GWL_STYLE);
    TextKind kind = KindOf(control, style);
    if (kind == NoText)
        return;
    wchar_t text[1024];
    if (!ReadWindowText(control, text, 1024) || text[0] == 0)
        return;
    RECT client;
    GetClientRect(control, &client);
    bool assumed = false;
    HFONT font = CopyControlFont(control, state->dpi, &assumed);
    HGDIOBJ old = font ? SelectObject(state->dc, font) : nullptr;
    SIZE needed = NeededSize(state->dc, text, kind, style, client.right, state->dpi);
    // A group box's caption sits on its top edge: only the width counts.
    int haveHeight = kind == GroupText ? needed.cy : client.bottom;
    state->measured++;
    if (needed.cx > client.right || needed.cy > haveHeight) {
        state->problems++;
        PrintLine(L"clipped\t%d\tneeds %ldx%ld\thas %ldx%ld\t%ls%ls", GetDlgCtrlID(control), needed.cx, needed.cy,
                  client.right, client.bottom, text, assumed ? L"\t(dialog font assumed)" : L"");
    }
    if (old)
        SelectObject(state->dc, old);
    if (font)
        DeleteObject(font);

    // The whole control must lie inside its parent, or its edge is cut.
    HWND parent = GetParent(control);
    RECT screen, parentClient;
    GetWindowRect(control, &screen);
    GetClientRect(parent, &parentClient);
    MapWindowPoints(parent, nullptr, (POINT*)&parentClient, 2);
    RECT inside;
    if (!IntersectRect(&inside, &screen, &parentClient) || !EqualRect(&inside, &screen)) {
        state->problems++;
        PrintLine(L"outside\t%d\t%ls", GetDlgCtrlID(control), text);
    }
    if (state->count < 512) {
        MeasuredControl* entry = &state->controls[state->count++];
        entry->parent = parent;
        entry->id = GetDlgCtrlID(control);
        entry->screen = screen;
        entry->container = kind == GroupText;
    }
}

static BOOL CALLBACK MeasureChild(HWND control, LPARAM context)
{
    if (IsWindowVisible(control))
        MeasureOne((MeasureState*)context, control);
    return TRUE;
}

static void ReportOverlaps(MeasureState* state)
{
    for (int a = 0; a < state->count; ++a) {
        const MeasuredControl* first = &state->controls[a];
        if (first->container)
            continue;
        for (int b = a + 1; b < state->count; ++b) {
            const MeasuredControl* second = &state->controls[b];
            RECT common;
            if (second->container || second->parent != first->parent)
                continue;
            if (IntersectRect(&common, &first->screen, &second->screen)) {
                state->problems++;
                PrintLine(L"overlap\t%d\t%d\t%ldx%ld", first->id, second->id, common.right - common.left,
                          common.bottom - common.top);
            }
        }
    }
}

int MeasureCommand(const DriverArgs* args)
{
    HWND window = WaitTopLevel(args->words[0], args, args->timeoutMs);
    if (window == nullptr)
        return ConditionNotMet;
    static MeasureState state;
    ZeroMemory(&state, sizeof state);
    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return ConditionNotMet;
    state.dpi = GetDeviceCaps(screen, LOGPIXELSY);
    state.dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (state.dc == nullptr)
        return ConditionNotMet;
    EnumChildWindows(window, MeasureChild, (LPARAM)&state);
    ReportOverlaps(&state);
    DeleteDC(state.dc);
    PrintLine(L"dpi %d, %d control(s) measured, %d problem(s)", state.dpi, state.measured, state.problems);
    return state.problems == 0 ? ConditionMet : ConditionNotMet;
}
