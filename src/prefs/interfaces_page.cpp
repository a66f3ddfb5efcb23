#include "prefs/interfaces_page.h"

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "platform/message_box.h"
#include "prefs/control_focus.h"
#include "prefs/interface_lines.h"
#include "prefs/interface_list_page.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"

static InterfaceListPageRecord InterfacesPageState;

static const int BindButtons[] = {IDC_BIND_SELECTED, IDC_UNBIND_SELECTED, IDC_BIND_ALL, IDC_UNBIND_ALL};

// Every button the list thread or a command may enable.
static void DisableInterfaceButtons(HWND page)
{
    SetControlEnabled(GetDlgItem(page, IDC_REFRESH_INTERFACES), false);
    for (int id : BindButtons)
        SetControlEnabled(GetDlgItem(page, id), false);
}

// The item a list line stands for, or null for the waiting or a message line.
static InterfaceListItem* ItemOfLine(int line)
{
    InterfaceListPageRecord& state = InterfacesPageState;
    return ItemOfListLine(state.list, state.items, state.count, line);
}

// The buttons for the item of `line` (-1: the selection mark).
static void UpdateInterfaceButtons(HWND page, int line)
{
    SetControlEnabled(GetDlgItem(page, IDC_REFRESH_INTERFACES), true);
    if (line < 0)
        line = static_cast<int>(SendMessageW(InterfacesPageState.list, LVM_GETSELECTIONMARK, 0, 0));
    InterfaceButtonStates states =
        DecideInterfaceButtons(InterfacesPageState.items, InterfacesPageState.count, ItemOfLine(line), IsAdmin);
    SetControlEnabled(GetDlgItem(page, IDC_BIND_SELECTED), states.bindSelected);
    SetControlEnabled(GetDlgItem(page, IDC_UNBIND_SELECTED), states.unbindSelected);
    SetControlEnabled(GetDlgItem(page, IDC_BIND_ALL), states.bindAll);
    SetControlEnabled(GetDlgItem(page, IDC_UNBIND_ALL), states.unbindAll);
}

// Request 1 with the bindable interfaces, then the buttons for the new
// list; the statistics window is told to refresh its own.
static DWORD WINAPI InterfaceListThread(void*)
{
    InterfaceListPageRecord& state = InterfacesPageState;
    DisableInterfaceButtons(state.page);
    RefillInterfaceList(state, SelectBindable, ReaderInterfacesPage, IDS_NO_INTERFACES, MessageImage);
    EndInterfaceListThread(state);

    UpdateInterfaceButtons(state.page, -1);
    HWND statistics = StatisticsWindow;
    if (statistics)
        SendMessageW(statistics, WM_AGENT_REFRESH, 0, 0);
    return 0;
}

// False (and the marker cleared) when the thread cannot be made.
static bool StartBindableList()
{
    return StartInterfaceListThread(InterfacesPageState, InterfaceListThread);
}

static void InitInterfacesPage(HWND page)
{
    InterfaceListPageRecord& state = InterfacesPageState;
    InitInterfaceListPage(state, page, IDC_INTERFACE_LIST);
    DisableInterfaceButtons(page);
    BusyGuard busy(state.busy);
    StartBindableList();
}

// Only while `IsAdmin` is set: the selected item must allow the operation.
static InterfaceListItem* SelectedItemFor(bool bind)
{
    if (!IsAdmin)
        return nullptr;
    int line = static_cast<int>(SendMessageW(InterfacesPageState.list, LVM_GETSELECTIONMARK, 0, 0));
    InterfaceListItem* item = ItemOfLine(line);
    if (!item || !(item->Flags & IfSupported) || ((item->Flags & IfBound) != 0) == bind)
        return nullptr;
    return item;
}

static bool ConfirmUnbind(HWND page)
{
    wchar_t text[256], caption[256];
    if (!LoadAgentString(IDS_UNBIND_QUESTION, text, 256))
        return false;
    LoadAgentString(IDS_UNBINDING_CAPTION, caption, 256);
    return MessageBoxW(page, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The command's part between taking the busy marker and the fresh list;
// false when nothing was run, so the marker is simply cleared.
static bool RunBindCommand(HWND page, int id)
{
    InterfaceListPageRecord& state = InterfacesPageState;
    InterfaceListItem* item = nullptr;
    switch (id) {
    case IDC_BIND_ALL:
        if (!IsAdmin || state.count == 0)
            return false;
        RunBindProgress(page, true, state.items, state.count);
        return true;
    case IDC_UNBIND_ALL:
        if (!IsAdmin || state.count == 0 || !ConfirmUnbind(page))
            return false;
        RunBindProgress(page, false, state.items, state.count);
        return true;
    case IDC_UNBIND_SELECTED:
        item = SelectedItemFor(false);
        if (!item || !ConfirmUnbind(page))
            return false;
        RunBindProgress(page, false, item, 1);
        return true;
    case IDC_BIND_SELECTED:
        item = SelectedItemFor(true);
        if (!item)
            return false;
        RunBindProgress(page, true, item, 1);
        return true;
    }
    return false;
}

static void OnCommand(HWND page, int id)
{
    InterfaceListPageRecord& state = InterfacesPageState;
    if (id < IDC_BIND_ALL || id > IDC_REFRESH_INTERFACES)
        return;
    BusyGuard busy(state.busy);
    if (!busy.Taken())
        return;
    if (id == IDC_REFRESH_INTERFACES) {
        DisableInterfaceButtons(page);
        if (!StartBindableList())
            UpdateInterfaceButtons(page, -1);
        return;
    }
    if (!RunBindCommand(page, id))
        return;
    // Finished or stopped, the list shows what the service now holds.
    if (!StartBindableList())
        UpdateInterfaceButtons(page, -1);
}

static void OnNotify(HWND page, const NMHDR* header)
{
    if (header->idFrom != IDC_INTERFACE_LIST || header->code != LVN_ITEMCHANGED)
        return;
    const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
    InterfaceListPageRecord& state = InterfacesPageState;
    if (change->uNewState == 0)
        return;
    BusyGuard busy(state.busy);
    if (busy.Taken())
        UpdateInterfaceButtons(page, change->iItem);
}

INT_PTR CALLBACK InterfacesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitInterfacesPage(page);
        return TRUE;
    case WM_COMMAND:
        OnCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_DESTROY:
        CloseInterfaceListPage(InterfacesPageState);
        return FALSE;
    }
    return FALSE;
}
