#include "prefs/movements_page.h"

#include <cwchar>
#include <new>

#include "core/agent_state.h"
#include "core/interface_list.h"
#include "prefs/interface_lines.h"
#include "resources/resource_ids.h"
#include "tray/preferences_frame.h"

// Owned by the page's window thread; the list thread writes the items only
// while `busy` holds its handle, so nobody else touches them meanwhile.
struct MovementsPageRecord {
    HWND page;
    HWND list;
    InterfaceListItem* items;
    size_t count;
    // Null when idle, DeleteBusy while the delete command runs, the list
    // thread's handle while that runs.
    HANDLE volatile busy;
    HIMAGELIST images;
};

static MovementsPageRecord MovementsState;

static char DeleteBusyTag;
static const HANDLE DeleteBusy = &DeleteBusyTag;

static DWORD WINAPI NotPresentListThread(void*)
{
    MovementsPageRecord& state = MovementsState;
    HWND page = state.page;
    HWND list = state.list;
    wchar_t* remembered = CopySelectedName(list, state.items, state.count);

    FreeInterfaceItems(state.items, state.count);
    state.items = nullptr;
    state.count = 0;
    EnableWindow(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), FALSE);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    ShowWaitingLine(list);
    Sleep(300);

    ServiceReply reply;
    ServiceStatus status = RequestInterfaceList(SelectNotPresent, &reply);
    SendMessageW(list, LVM_DELETEITEM, 0, 0);
    state.items = FillInterfaceList(list, ReaderMovementsPage, status, reply, IDS_NO_NOT_PRESENT, InformationImage,
                                    remembered, &state.count);
    if (state.items && IsAdmin)
        EnableWindow(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), TRUE);

    ReleaseReply(&reply);
    FitInterfaceColumn(list);
    HANDLE self = state.busy;
    state.busy = nullptr;
    if (self && self != DeleteBusy)
        CloseHandle(self);
    delete[] remembered;
    return 0;
}

// Made suspended so the handle is the marker before the thread can reach
// its end and close it.
static void StartNotPresentList()
{
    MovementsPageRecord& state = MovementsState;
    HANDLE thread = CreateThread(nullptr, 0, NotPresentListThread, nullptr, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        state.busy = nullptr;
        return;
    }
    state.busy = thread;
    ResumeThread(thread);
}

static void InitMovementsPage(HWND page)
{
    MovementsPageRecord& state = MovementsState;
    state.page = page;
    state.list = GetDlgItem(page, IDC_NOT_PRESENT_LIST);
    PlacePage(page);
    state.images = AttachInterfaceImages(state.list);
    EnableWindow(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), FALSE);
    state.items = nullptr;
    state.count = 0;
    InsertFittedColumn(state.list);
    state.busy = DeleteBusy;
    StartNotPresentList();
}

static void OnRefresh(HWND page)
{
    MovementsPageRecord& state = MovementsState;
    if (state.busy)
        return;
    state.busy = DeleteBusy;
    EnableWindow(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), FALSE);
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
    bool yes = MessageBoxW(page, text, L"ZorvanHAgent delete \"Not Present\" interface", MB_YESNO | MB_ICONQUESTION) ==
               IDYES;
    delete[] text;
    return yes;
}

static void OnDelete(HWND page)
{
    MovementsPageRecord& state = MovementsState;
    // The button is off while the list thread runs; a stray command must
    // not take the thread's marker.
    if (state.busy)
        return;
    state.busy = DeleteBusy;
    int mark = static_cast<int>(SendMessageW(state.list, LVM_GETSELECTIONMARK, 0, 0));
    InterfaceListItem* item = IsAdmin ? ItemOfListLine(state.list, state.items, state.count, mark) : nullptr;
    if (!item || !item->Name || !ConfirmDelete(page, item->Name)) {
        state.busy = nullptr;
        return;
    }
    RunDeleteProgress(page, item);
    EnableWindow(GetDlgItem(page, IDC_DELETE_NOT_PRESENT), FALSE);
    StartNotPresentList();
}

static void CloseMovementsPage()
{
    MovementsPageRecord& state = MovementsState;
    // A list thread still running owns the items; the process is ending.
    if (!state.busy) {
        FreeInterfaceItems(state.items, state.count);
        state.items = nullptr;
        state.count = 0;
    }
    if (state.images)
        ImageList_Destroy(state.images);
    state.images = nullptr;
    state.page = nullptr;
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
        CloseMovementsPage();
        return FALSE;
    }
    return FALSE;
}
