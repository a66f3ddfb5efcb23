// Progress dialog 154 and the delete worker behind it: request 10 for one
// not-present interface, then its monitor settings.
#include <windows.h>
#include <commctrl.h>

#include <new>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/service_channel.h"
#include "monitor/monitor_settings_store.h"
#include "platform/message_box.h"
#include "prefs/movements_page.h"
#include "prefs/not_present_items.h"
#include "resources/resource_ids.h"

// Handed by the command to the dialog, and by the dialog to its worker; the
// command frees it once the dialog has ended.
struct DeleteOperation {
    InterfaceListItem* items;
    size_t count;
    HWND dialog;
};

static void CloseProgress(DeleteOperation* operation)
{
    SendMessageW(operation->dialog, AGENT_CLOSE_COMMAND, 0, 0);
}

static void ShowDeleteError(DeleteOperation* operation, UINT id)
{
    wchar_t text[256], caption[256];
    if (!LoadAgentString(id, text, 256))
        return;
    LoadAgentString(IDS_DELETING_CAPTION, caption, 256);
    MessageBoxW(operation->dialog, text, caption, MB_OK | MB_ICONERROR);
}

static void ForgetMonitorSettings(const InterfaceListItem& item)
{
    MonitorSettings settings{};
    try {
        settings.interfaceId = item.InterfaceId;
    } catch (const std::bad_alloc&) {
        return;  // the settings stay, as after any failed registry step
    }
    DeleteMonitorSettings(settings);
}

static DWORD WINAPI DeleteWorker(void* parameter)
{
    DeleteOperation* operation = static_cast<DeleteOperation*>(parameter);
    InterfaceListItem* item = operation->count ? operation->items : nullptr;
    if (!item || !ItemIsDeletable(*item)) {
        CloseProgress(operation);
        return 0;
    }
    SetDlgItemTextW(operation->dialog, IDC_DELETE_NAME, item->Name);
    uint32_t size = 0;
    uint8_t* query = BuildDeleteQuery(item->Name, GetCurrentProcessId(), &size);
    if (!query) {
        ShowDeleteError(operation, IDS_OUT_OF_MEMORY);
        CloseProgress(operation);
        return 0;
    }
    ServiceStatus status = RequestService(RequestDeleteInterface, query, size, nullptr);
    delete[] query;
    DeleteOutcome outcome = ReactToDeleteStatus(status);
    if (!outcome.done) {
        ShowDeleteError(operation, outcome.stringId);
        CloseProgress(operation);
        return 0;
    }
    // Without an id there is no key to find, and nothing of another
    // interface may go in its place.
    if (item->InterfaceId && item->InterfaceId[0])
        ForgetMonitorSettings(*item);
    SendDlgItemMessageW(operation->dialog, IDC_DELETE_BAR, PBM_SETPOS, 100, 0);
    SetDlgItemTextW(operation->dialog, IDC_DELETE_NAME, L"Completed");
    Sleep(500);
    CloseProgress(operation);
    return 0;
}

static void InitProgress(HWND dialog, DeleteOperation* operation)
{
    operation->dialog = dialog;
    SetDlgItemTextW(dialog, IDC_DELETE_NAME, L"");
    SendDlgItemMessageW(dialog, IDC_DELETE_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_DELETE_BAR, PBM_SETPOS, 0, 0);
    HANDLE worker = CreateThread(nullptr, 0, DeleteWorker, operation, 0, nullptr);
    if (worker)
        CloseHandle(worker);
    else
        EndDialog(dialog, 0);
}

static INT_PTR CALLBACK DeleteProgressProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitProgress(dialog, reinterpret_cast<DeleteOperation*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Enter and Escape would end the dialog under the worker.
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void RunDeleteProgress(HWND page, InterfaceListItem* item)
{
    DeleteOperation* operation = new (std::nothrow) DeleteOperation{item, 1, nullptr};
    if (!operation)
        return;
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_DELETE_PROGRESS), page, DeleteProgressProc,
                    reinterpret_cast<LPARAM>(operation));
    delete operation;
}
