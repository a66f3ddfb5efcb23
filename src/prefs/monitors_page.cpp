#include "prefs/monitors_page.h"

#include <commctrl.h>

#include <cwchar>
#include <new>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/interface_refresh.h"
#include "monitor/monitor_appearance.h"
#include "monitor/monitor_settings_store.h"
#include "monitor/monitor_window.h"
#include "platform/message_box.h"
#include "prefs/control_focus.h"
#include "prefs/interface_lines.h"
#include "prefs/monitors_page_state.h"
#include "resources/resource_ids.h"
#include "tray/preferences_frame.h"

PageRecordsRecord PageRecords;
MonitorSelectionRecord MonitorSelection;
BusyMarker PageBusy;

void EnableControl(HWND page, int id, bool enable)
{
    SetControlEnabled(GetDlgItem(page, id), enable);
}

void EnableEditButtons(HWND page)
{
    for (int id : {IDC_MON_APPLY, IDC_MON_CANCEL, IDC_MON_DEFAULTS})
        EnableControl(page, id, true);
}

// The page's texts run on its thread and on its list thread: a text that
// cannot be allocated leaves the control as it was.
void SetLabel(HWND page, int id, UINT pattern, const Text16& value, bool marked)
{
    wchar_t text[256];
    if (!LoadAgentString(pattern, text, 256))
        return;
    try {
        SetDlgItemTextW(page, id, FillLabel(text, value, marked).c_str());
    } catch (const std::bad_alloc&) {
    }
}

void SetNumberLabel(HWND page, int id, UINT pattern, uint32_t value, bool interval, bool marked)
{
    try {
        SetLabel(page, id, pattern, interval ? FormatInterval(value) : DecimalText(value), marked);
    } catch (const std::bad_alloc&) {
    }
}

void MarkedString(UINT id, bool marked, wchar_t text[MarkedStringCapacity])
{
    text[0] = 0;
    LoadAgentString(id, text, 256);
    if (marked) {
        size_t n = wcslen(text);
        text[n] = L'*';
        text[n + 1] = 0;
    }
}

void SetGroupTitle(HWND page, int id, UINT string, bool marked)
{
    SetLabel(page, id, string, Text16(), marked);
}

static void SetSlider(HWND page, int id, uint32_t position)
{
    SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, LPARAM(position));
}

void DisableMonitorsPage(HWND page, bool clear)
{
    for (int id :
         {IDC_MON_DEFAULTS, IDC_MON_APPLY, IDC_MON_CANCEL, IDC_MON_CHOOSE, IDC_MON_COLORS_GROUP, IDC_MON_COLORS})
        EnableControl(page, id, false);
    if (clear) {
        SendDlgItemMessageW(page, IDC_MON_COLORS, CB_RESETCONTENT, 0, 0);
        SetGroupTitle(page, IDC_MON_COLORS_GROUP, IDS_COLOR_ADJUSTMENT, false);
        SendDlgItemMessageW(page, IDC_MON_FLAGS, LVM_DELETEALLITEMS, 0, 0);
        SetGroupTitle(page, IDC_MON_FLAGS_GROUP, IDS_EXTENDED_PARAMETERS, false);
    }
    EnableControl(page, IDC_MON_FLAGS, false);
    EnableControl(page, IDC_MON_FLAGS_GROUP, false);
    SetNumberLabel(page, IDC_MON_TRANSPARENCY_LABEL, IDS_TRANSPARENT_LEVEL, 0, false, false);
    SetSlider(page, IDC_MON_TRANSPARENCY, 0);
    SetNumberLabel(page, IDC_MON_REFRESH_LABEL, IDS_REFRESH_RATE, 0, true, false);
    SetSlider(page, IDC_MON_REFRESH, MinRefreshRate);
    for (int id : {IDC_MON_TRANSPARENCY_LABEL, IDC_MON_TRANSPARENCY, IDC_MON_REFRESH_LABEL, IDC_MON_REFRESH})
        EnableControl(page, id, false);
}

void LoadPageFromSelection(HWND page)
{
    EnableControl(page, IDC_MON_APPLY, false);
    EnableControl(page, IDC_MON_CANCEL, false);
    for (int id :
         {IDC_MON_DEFAULTS, IDC_MON_COLORS, IDC_MON_COLORS_GROUP, IDC_MON_CHOOSE, IDC_MON_FLAGS, IDC_MON_FLAGS_GROUP,
          IDC_MON_TRANSPARENCY_LABEL, IDC_MON_TRANSPARENCY, IDC_MON_REFRESH_LABEL, IDC_MON_REFRESH})
        EnableControl(page, id, true);
    uint32_t transparency = SelectionTransparency(MonitorSelection);
    SetNumberLabel(page, IDC_MON_TRANSPARENCY_LABEL, IDS_TRANSPARENT_LEVEL, transparency, false, false);
    SetSlider(page, IDC_MON_TRANSPARENCY, transparency);
    MonitorSelection.TransparencyModified = 0;
    uint32_t rate = SelectionRefreshRate(MonitorSelection);
    SetNumberLabel(page, IDC_MON_REFRESH_LABEL, IDS_REFRESH_RATE, rate, true, false);
    SetSlider(page, IDC_MON_REFRESH, rate);
    MonitorSelection.RefreshRateModified = 0;
    memset(MonitorSelection.EditColors, 0, sizeof MonitorSelection.EditColors);
    if (MonitorSelection.SelectedCount == 1 && MonitorSelection.chain)
        memcpy(MonitorSelection.EditColors, MonitorSelection.chain->colors, sizeof MonitorSelection.EditColors);
    memset(MonitorSelection.ColorModified, 0, sizeof MonitorSelection.ColorModified);
    FillColorCombo(page);
    memset(MonitorSelection.FlagModified, 0, sizeof MonitorSelection.FlagModified);
    FillFlagList(page);
    RepaintColorCombo(page);
}

static void PrepareList(HWND page, int id, UINT bitmapId, int count)
{
    HWND list = GetDlgItem(page, id);
    // The list view destroys its image list with itself.
    HIMAGELIST images = LoadImageStrip(bitmapId, count, ILC_COLOR24);
    if (images)
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(images));
    InsertFittedColumn(list);
}

static void InitMonitorsPage(HWND page)
{
    PreselectName[0] = 0;
    PlacePage(page);
    PrepareList(page, IDC_MON_INTERFACES, IDB_INTERFACE_STATES, 14);
    PrepareList(page, IDC_MON_FLAGS, IDB_FLAG_STATES, 3);
    SendDlgItemMessageW(page, IDC_MON_TRANSPARENCY, TBM_SETRANGE, FALSE, MAKELPARAM(0, MaxTransparentLevel));
    SendDlgItemMessageW(page, IDC_MON_REFRESH, TBM_SETRANGE, FALSE, MAKELPARAM(MinRefreshRate, MaxRefreshRate));
    DisableMonitorsPage(page, true);
    PageRecords = {};
    ClearSelection(&MonitorSelection);
    StartInterfaceChoiceRefresh(page);
}

static MonitorSettings* RecordOfRow(LPARAM data)
{
    const MonitorSettings* first = PageRecords.records;
    const MonitorSettings* record = reinterpret_cast<const MonitorSettings*>(data);
    if (!first || record < first || record >= first + PageRecords.count)
        return nullptr;
    return const_cast<MonitorSettings*>(record);
}

static void OnInterfaceChanged(HWND page, const NMLISTVIEW* change)
{
    if (PageBusy || !(change->uChanged & LVIF_STATE))
        return;
    bool was = (change->uOldState & LVIS_SELECTED) != 0, now = (change->uNewState & LVIS_SELECTED) != 0;
    if (was == now)
        return;
    MonitorSettings* record = RecordOfRow(change->lParam);
    if (!record)
        return;
    BusyGuard busy(PageBusy);
    if (now) {
        AddToSelection(&MonitorSelection, record);
        LoadPageFromSelection(page);
        return;
    }
    RemoveFromSelection(&MonitorSelection, record);
    if (MonitorSelection.SelectedCount > 0)
        LoadPageFromSelection(page);
    else
        PostMessageW(page, WM_SELECTION_EMPTY, 0, 0);
}

static void OnNotify(HWND page, const NMHDR* header)
{
    if (header->idFrom == IDC_MON_INTERFACES && header->code == LVN_ITEMCHANGED) {
        OnInterfaceChanged(page, reinterpret_cast<const NMLISTVIEW*>(header));
        return;
    }
    if (header->idFrom != IDC_MON_FLAGS || PageBusy)
        return;
    if (header->code == NM_CLICK) {
        BusyGuard busy(PageBusy);
        OnFlagClick(page);
    } else if (header->code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_SPACE) {
        BusyGuard busy(PageBusy);
        ToggleFlagRow(page, int(SendMessageW(header->hwndFrom, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED)));
    }
}

static void OnSlider(HWND page, HWND slider)
{
    if (PageBusy || MonitorSelection.SelectedCount == 0)
        return;
    BusyGuard busy(PageBusy);
    uint32_t position = uint32_t(SendMessageW(slider, TBM_GETPOS, 0, 0));
    if (slider == GetDlgItem(page, IDC_MON_TRANSPARENCY)) {
        SetNumberLabel(page, IDC_MON_TRANSPARENCY_LABEL, IDS_TRANSPARENT_LEVEL, position, false, true);
        MonitorSelection.TransparencyModified = 1;
    } else if (slider == GetDlgItem(page, IDC_MON_REFRESH)) {
        SetNumberLabel(page, IDC_MON_REFRESH_LABEL, IDS_REFRESH_RATE, position, true, true);
        MonitorSelection.RefreshRateModified = 1;
    } else {
        return;
    }
    EnableEditButtons(page);
}

static void PulseOptionsApplied()
{
    if (MonitorOptionsAppliedEvent)
        PulseEvent(MonitorOptionsAppliedEvent);
}

static void ApplyMonitorChanges(HWND page)
{
    EnableControl(page, IDC_MON_APPLY, false);
    EnableControl(page, IDC_MON_CANCEL, false);
    EnableControl(page, IDC_MON_DEFAULTS, true);
    MonitorChanges changes = {};
    changes.transparencyModified = MonitorSelection.TransparencyModified;
    changes.refreshRateModified = MonitorSelection.RefreshRateModified;
    memcpy(changes.editColors, MonitorSelection.EditColors, sizeof changes.editColors);
    memcpy(changes.colorModified, MonitorSelection.ColorModified, sizeof changes.colorModified);
    MonitorSettings* record = MonitorSelection.chain;
    ClearSelection(&MonitorSelection);

    ReadFlagImages(page, changes.flagImage);
    uint32_t transparency = uint32_t(SendDlgItemMessageW(page, IDC_MON_TRANSPARENCY, TBM_GETPOS, 0, 0));
    changes.transparency = transparency > MaxTransparentLevel ? MaxTransparentLevel : transparency;
    changes.refreshRate = LimitRefreshRate(uint32_t(SendDlgItemMessageW(page, IDC_MON_REFRESH, TBM_GETPOS, 0, 0)));

    while (record) {
        MonitorSettings* next = record->next;
        ApplyChangesToRecord(changes, record);
        SaveMonitorSettings(record, false);
        AddToSelection(&MonitorSelection, record);
        ApplyMonitorSettings(nullptr, record->interfaceName.c_str(), record->interfaceId.c_str(), true);
        record = next;
    }
    LoadPageFromSelection(page);
    PulseOptionsApplied();
}

static void RestoreMonitorDefaults(HWND page)
{
    wchar_t question[256], caption[256];
    if (!LoadAgentString(IDS_RESTORE_MONITOR_DEFAULTS, question, 256) ||
        !LoadAgentString(IDS_MONITOR_PROPERTIES_CAPTION, caption, 256))
        return;
    if (MessageBoxW(page, question, caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    for (int id : {IDC_MON_APPLY, IDC_MON_CANCEL, IDC_MON_DEFAULTS})
        EnableControl(page, id, false);
    MonitorSettings* record = MonitorSelection.chain;
    ClearSelection(&MonitorSelection);
    while (record) {
        MonitorSettings* next = record->next;
        record->next = nullptr;
        SetMonitorDefaults(record);
        SaveMonitorSettings(record, true);
        AddToSelection(&MonitorSelection, record);
        ApplyMonitorSettings(nullptr, record->interfaceName.c_str(), record->interfaceId.c_str(), true);
        record = next;
    }
    LoadPageFromSelection(page);
}

static void OnCommand(HWND page, int id, int code)
{
    bool ready = !PageBusy && MonitorSelection.SelectedCount > 0;
    bool button = id == IDC_MON_APPLY || id == IDC_MON_CANCEL || id == IDC_MON_CHOOSE || id == IDC_MON_DEFAULTS;
    if (code == BN_CLICKED && button && ready)
        EnableEditButtons(page);
    switch (id) {
    case IDC_REFRESH_INTERFACES:
        if (!PageBusy) {
            // The refresh thread takes the marker over.
            BusyGuard busy(PageBusy);
            DisableMonitorsPage(page, true);
            StartInterfaceChoiceRefresh(page);
        }
        return;
    case IDC_MON_COLORS:
        if (code == CBN_SELCHANGE)
            RepaintColorCombo(page);
        return;
    case IDC_MON_APPLY:
    case IDC_MON_CANCEL:
    case IDC_MON_CHOOSE:
    case IDC_MON_DEFAULTS:
        break;
    default:
        return;
    }
    if (!ready)
        return;
    BusyGuard busy(PageBusy);
    if (id == IDC_MON_APPLY)
        ApplyMonitorChanges(page);
    else if (id == IDC_MON_CANCEL)
        LoadPageFromSelection(page);
    else if (id == IDC_MON_CHOOSE)
        ChooseMonitorColor(page);
    else
        RestoreMonitorDefaults(page);
}

INT_PTR CALLBACK MonitorsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitMonitorsPage(page);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    case WM_HSCROLL:
        OnSlider(page, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_MEASUREITEM: {
        // Room for the colour swatch, whatever the font.
        MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlID != IDC_MON_COLORS)
            return FALSE;
        if (measure->itemHeight < 16)
            measure->itemHeight = 16;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != IDC_MON_COLORS)
            return FALSE;
        DrawColorEntry(item);
        return TRUE;
    }
    case WM_DESTROY:
        JoinInterfaceChoiceRefresh();
        // A refresh still at work frees the old records itself; the new
        // ones then go with the process.
        if (!PageBusy) {
            ClearSelection(&MonitorSelection);
            delete[] PageRecords.records;
            PageRecords = {};
        }
        return FALSE;
    case WM_SELECTION_EMPTY:
        if (MonitorSelection.SelectedCount == 0)
            DisableMonitorsPage(page, true);
        return TRUE;
    }
    return FALSE;
}
