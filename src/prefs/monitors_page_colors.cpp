#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "monitor/monitor_settings_store.h"
#include "prefs/monitors_page_state.h"
#include "resources/resource_ids.h"

static void PutColorEntry(HWND combo, int slot)
{
    wchar_t text[MarkedStringCapacity];
    MarkedString(IDS_MONITOR_COLOR_FIRST + slot, MonitorSelection.ColorModified[slot] != 0, text);
    SendMessageW(combo, CB_DELETESTRING, WPARAM(slot), 0);
    SendMessageW(combo, CB_INSERTSTRING, WPARAM(slot), LPARAM(text));
    SendMessageW(combo, CB_SETITEMDATA, WPARAM(slot), LPARAM(slot));
}

static void SetColorGroupTitle(HWND page, bool marked)
{
    SetLabel(page, IDC_MON_COLORS_GROUP, IDS_COLOR_ADJUSTMENT, Text16(), marked);
}

void FillColorCombo(HWND page)
{
    HWND combo = GetDlgItem(page, IDC_MON_COLORS);
    int current = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (current < 0)
        current = 0;
    bool anyMarked = false;
    for (int slot = 0; slot < MonitorColorCount; slot++) {
        PutColorEntry(combo, slot);
        anyMarked = anyMarked || MonitorSelection.ColorModified[slot];
    }
    SendMessageW(combo, CB_SETCURSEL, WPARAM(current), 0);
    SetColorGroupTitle(page, anyMarked);
}

void RepaintColorCombo(HWND page)
{
    InvalidateRect(GetDlgItem(page, IDC_MON_COLORS), nullptr, TRUE);
}

void ChooseMonitorColor(HWND page)
{
    HWND combo = GetDlgItem(page, IDC_MON_COLORS);
    LRESULT current = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    int slot = current == CB_ERR ? MonitorColorCount : int(SendMessageW(combo, CB_GETITEMDATA, WPARAM(current), 0));
    COLORREF custom[16];
    memcpy(custom, LoadCustomColors(), sizeof custom);
    COLORREF initial = InitialDialogColor(MonitorSelection, slot);
    CHOOSECOLORW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = page;
    choice.rgbResult = initial;
    choice.lpCustColors = custom;
    choice.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (ChooseColorW(&choice) && slot >= 0 && slot < MonitorColorCount &&
        ColorChoiceIsChange(initial, choice.rgbResult)) {
        MonitorSelection.ColorModified[slot] = 1;
        MonitorSelection.EditColors[slot] = choice.rgbResult;
        PutColorEntry(combo, slot);
        EnableEditButtons(page);
        SendMessageW(combo, CB_SETCURSEL, WPARAM(slot), 0);
        SetColorGroupTitle(page, true);
        RepaintColorCombo(page);
    }
    SaveCustomColors(reinterpret_cast<const uint32_t*>(custom));
    RepaintColorCombo(page);
}

// A colour the selected monitors do not share is a white box with a cross.
static void DrawSwatch(HDC dc, int b, int y, int slot)
{
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, b + 4, y + 1, b + 32, y + 13);
    RECT inside = {b + 5, y + 2, b + 31, y + 12};
    if (SlotHasColor(MonitorSelection, slot)) {
        HBRUSH fill = CreateSolidBrush(MonitorSelection.EditColors[slot]);
        if (fill) {
            FillRect(dc, &inside, fill);
            DeleteObject(fill);
        }
    } else {
        FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        POINT down[2] = {{inside.left, inside.top}, {inside.right, inside.bottom}};
        POINT up[2] = {{inside.right, inside.top}, {inside.left, inside.bottom}};
        Polyline(dc, down, 2);
        Polyline(dc, up, 2);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void DrawColorEntry(const DRAWITEMSTRUCT* item)
{
    if (item->itemID == UINT(-1))
        return;
    HDC dc = item->hDC;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    COLORREF oldText = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    int b = LOWORD(GetDialogBaseUnits()) / 4;
    const RECT& area = item->rcItem;
    int y = (area.top + area.bottom - metrics.tmHeight) / 2;
    wchar_t text[300] = L"";
    if (SendMessageW(item->hwndItem, CB_GETLBTEXTLEN, item->itemID, 0) < 300)
        SendMessageW(item->hwndItem, CB_GETLBTEXT, item->itemID, LPARAM(text));
    ExtTextOutW(dc, 2 * b + 32, y, ETO_OPAQUE | ETO_CLIPPED, &area, text, UINT(lstrlenW(text)), nullptr);
    int slot = int(SendMessageW(item->hwndItem, CB_GETITEMDATA, item->itemID, 0));
    DrawSwatch(dc, b, y, slot);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}
