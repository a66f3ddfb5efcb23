#include <windows.h>
#include <commctrl.h>

#include "core/agent_state.h"
#include "monitor/monitor_window.h"
#include "resources/resource_ids.h"
#include "tray/main_dialog.h"
#include "tray/preferences_frame.h"

wchar_t PreselectName[520];

namespace {

// The preferences open on the Monitor(s) page with this monitor selected.
void ShowMonitorProperties(MonitorRecord* record)
{
    ShowPreferences();
    if (MonitorsTreeItem)
        SendDlgItemMessageW(MainWindow, IDC_PAGE_TREE, TVM_SELECTITEM, TVGN_CARET, LPARAM(MonitorsTreeItem));
    lstrcpynW(PreselectName, record->interfaceId, int(sizeof PreselectName / sizeof PreselectName[0]));
    if (MonitorsPage)
        SendMessageW(MonitorsPage, WM_COMMAND, IDC_REFRESH_INTERFACES, 0);
}

void ClearHistories(MonitorRecord* record, bool receive, bool send)
{
    ClearDiagram(&record->diagram, receive, send, record->equalScale);
    InvalidateRect(record->window, nullptr, FALSE);
}

}  // namespace

void ShowMonitorMenu(MonitorRecord* record)
{
    HMENU menu = LoadMenuW(AppInstance, MAKEINTRESOURCEW(IDM_MONITOR));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    UINT command = 0;
    if (popup) {
        // Without the foreground a click elsewhere would leave the menu open.
        SetForegroundWindow(record->window);
        command = UINT(
            TrackPopupMenu(popup, TPM_RETURNCMD, record->menuPoint.x, record->menuPoint.y, 0, record->window, nullptr));
    }
    DestroyMenu(menu);
    switch (command) {
    case IDM_MONITOR_PROPERTIES:
        ShowMonitorProperties(record);
        break;
    case IDM_MONITOR_HIDE:
        ShowWindow(record->window, SW_HIDE);
        record->hiddenByAgent = false;
        break;
    case IDM_CLEAR_SEND:
        ClearHistories(record, false, true);
        break;
    case IDM_CLEAR_RECEIVE:
        ClearHistories(record, true, false);
        break;
    case IDM_CLEAR_BOTH:
        ClearHistories(record, true, true);
        break;
    }
}
