// The Monitor(s) page's list of extended parameters: one row per monitor
// flag with its on, off or mixed picture, toggled by a click on the
// picture or the space bar, and read back when the changes are applied.
#include <windows.h>
#include <commctrl.h>

#include "prefs/monitors_page_state.h"
#include "resources/resource_ids.h"

void FillFlagList(HWND page)
{
    HWND list = GetDlgItem(page, IDC_MON_FLAGS);
    int position = int(SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    if (position < 0)
        position = 0;
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    bool anyMarked = false;
    for (int flag = 0; flag < MonitorFlagCount; flag++) {
        bool marked = MonitorSelection.FlagModified[flag] != 0;
        anyMarked = anyMarked || marked;
        wchar_t text[MarkedStringCapacity];
        MarkedString(IDS_MONITOR_FLAG_FIRST + flag, marked, text);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = 0;
        item.pszText = text;
        item.iImage = FlagTriState(MonitorSelection, flag);
        item.lParam = flag;
        SendMessageW(list, LVM_INSERTITEMW, 0, LPARAM(&item));
    }
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(position), LPARAM(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(position), FALSE);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
    SetGroupTitle(page, IDC_MON_FLAGS_GROUP, IDS_EXTENDED_PARAMETERS, anyMarked);
}

void ToggleFlagRow(HWND page, int row)
{
    if (row < 0)
        return;
    HWND list = GetDlgItem(page, IDC_MON_FLAGS);
    wchar_t text[300];
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = text;
    item.cchTextMax = 299;
    if (!SendMessageW(list, LVM_GETITEMW, 0, LPARAM(&item)) || item.lParam < 0 || item.lParam >= MonitorFlagCount)
        return;
    int flag = int(item.lParam);
    item.iImage = NextFlagImage(MonitorSelection, flag, TriState(item.iImage));
    if (!MonitorSelection.FlagModified[flag]) {
        MonitorSelection.FlagModified[flag] = 1;
        lstrcatW(text, L"*");
    }
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    SendMessageW(list, LVM_SETITEMW, 0, LPARAM(&item));
    SetGroupTitle(page, IDC_MON_FLAGS_GROUP, IDS_EXTENDED_PARAMETERS, true);
    EnableEditButtons(page);
}

void OnFlagClick(HWND page)
{
    HWND list = GetDlgItem(page, IDC_MON_FLAGS);
    LVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(list, &hit.pt);
    int row = int(SendMessageW(list, LVM_HITTEST, 0, LPARAM(&hit)));
    if (row >= 0 && (hit.flags & LVHT_ONITEMICON))
        ToggleFlagRow(page, row);
}

void ReadFlagImages(HWND page, uint8_t (&images)[MonitorFlagCount])
{
    // A flag whose row cannot be read keeps each monitor's own value.
    for (uint8_t& image : images)
        image = TriMixed;
    HWND list = GetDlgItem(page, IDC_MON_FLAGS);
    int rows = int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; row++) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = row;
        if (SendMessageW(list, LVM_GETITEMW, 0, LPARAM(&item)) && item.lParam >= 0 && item.lParam < MonitorFlagCount &&
            item.iImage >= TriOn && item.iImage <= TriMixed)
            images[item.lParam] = uint8_t(item.iImage);
    }
}
