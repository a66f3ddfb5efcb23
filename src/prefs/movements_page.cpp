#include "prefs/movements_page.h"

#include <cwchar>
#include <new>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/interface_list.h"
#include "prefs/control_focus.h"
#include "prefs/interface_lines.h"
#include "prefs/interface_list_page.h"
#include "resources/resource_ids.h"

static InterfaceListPageRecord MovementsState;

static DWORD WINAPI NotPresentListThread(void*)
{
    InterfaceListPageRecord& state = MovementsState;
    SetControlEnabled(GetDlgItem(state.page, IDC_DELETE_NOT_PRESENT), false);
    RefillInterfaceList(state, SelectNotPresent, ReaderMovementsPage, IDS_NO_NOT_PRESENT, InformationImage);
    if (state.items && IsAdmin)
        SetControlEnabled(GetDlgItem(state.page, IDC_DELETE_NOT_PRESENT), true);
    EndInterfaceListThread(state);
    return 0;
}

static void StartNotPresentList()
{
    StartInterfaceListThread(MovementsState, NotPresentListThread);
}

static void InitMovementsPage(HWND page)
{
    InterfaceListPageRecord& state = MovementsState;
    InitInterfaceListPage(state, page, IDC_NOT_PRESENT_LIST);
    SetControlEnabled(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), false);
    BusyGuard busy(state.busy);
    StartNotPresentList();
}

static void OnRefresh(HWND page)
{
    InterfaceListPageRecord& state = MovementsState;
    BusyGuard busy(state.busy);
    if (!busy.Taken())
        return;
    SetControlEnabled(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), false);
    StartNotPresentList();
}

static bool ConfirmDelete(HWND page, const wchar_t* name)
{
    const wchar_t format[] = L"\"Not Present\" network interface: %ls will be deleted.\n Are you sure?";
    size_t size = wcslen(format) + wcslen(name) + 1;
    wchar_t* text = new (std::nothrow) wchar_t[size];
    if (!text)
        return false;
    swprintf(text, size, format, name);
    bool yes =
        MessageBoxW(page, text, L"ZorvanHAgent delete \"Not Present\" interface", MB_YESNO | MB_ICONQUESTION) == IDYES;
    delete[] text;
    return yes;
}

static void OnDelete(HWND page)
{
    InterfaceListPageRecord& state = MovementsState;
    // The button is off while the list thread runs; a stray command must
    // not take the thread's marker.
    BusyGuard busy(state.busy);
    if (!busy.Taken())
        return;
    int mark = static_cast<int>(SendMessageW(state.list, LVM_GETSELECTIONMARK, 0, 0));
    InterfaceListItem* item = IsAdmin ? ItemOfListLine(state.list, state.items, state.count, mark) : nullptr;
    if (!item || !item->Name || !ConfirmDelete(page, item->Name))
        return;
    RunDeleteProgress(page, item);
    SetControlEnabled(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), false);
    StartNotPresentList();
}

INT_PTR CALLBACK MovementsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        InitMovementsPage(page);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_DELETE_NOT_PRESENT)
            OnDelete(page);
        return TRUE;
    case WM_AGENT_REFRESH:
        OnRefresh(page);
        return TRUE;
    case WM_DESTROY:
        CloseInterfaceListPage(MovementsState);
        return FALSE;
    }
    return FALSE;
}
