// Progress dialog 154 and the delete worker behind it: request 10 for one
// not-present interface, then its monitor settings.
#include <windows.h>
#include <commctrl.h>

#include <new>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/service_channel.h"
#include "core/unload_deadline.h"
#include "monitor/monitor_settings_store.h"
#include "platform/message_box.h"
#include "platform/thread_wait.h"
#include "prefs/item_operation.h"
#include "prefs/movements_page.h"
#include "prefs/not_present_items.h"
#include "resources/resource_ids.h"

// Shared by the command and the worker, with its own copy of the item: an
// unload can end the dialog while the worker is inside the request, and
// whichever of the two lets go last frees it.
struct DeleteOperation {
    InterfaceListItem* items;
    size_t count;
    HWND dialog;
    volatile LONG abandoned;  // the dialog has gone: no messages
    volatile LONG owners;
    HANDLE worker;
};

static void ShowDeleteError(DeleteOperation* operation, UINT id)
{
    wchar_t text[256], caption[256];
    if (operation->abandoned || !LoadAgentString(id, text, 256))
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

static void RunDelete(DeleteOperation* operation)
{
    InterfaceListItem* item = operation->count ? operation->items : nullptr;
    if (!item || !ItemIsDeletable(*item)) {
        CloseProgress(operation);
        return;
    }
    SetDlgItemTextW(operation->dialog, IDC_DELETE_NAME, item->Name);
    uint32_t size = 0;
    uint8_t* query = BuildDeleteQuery(item->Name, GetCurrentProcessId(), &size);
    if (!query) {
        ShowDeleteError(operation, IDS_OUT_OF_MEMORY);
        CloseProgress(operation);
        return;
    }
    ServiceStatus status = RequestService(RequestDeleteInterface, query, size, nullptr);
    delete[] query;
    DeleteOutcome outcome = ReactToDeleteStatus(status);
    if (!outcome.done) {
        ShowDeleteError(operation, outcome.stringId);
        CloseProgress(operation);
        return;
    }
    // Without an id there is no key to find, and nothing of another
    // interface may go in its place.
    if (item->InterfaceId && item->InterfaceId[0] && !operation->abandoned)
        ForgetMonitorSettings(*item);
    SendDlgItemMessageW(operation->dialog, IDC_DELETE_BAR, PBM_SETPOS, 100, 0);
    SetDlgItemTextW(operation->dialog, IDC_DELETE_NAME, L"Completed");
    if (!operation->abandoned)
        Sleep(500);
    CloseProgress(operation);
}

static DWORD WINAPI DeleteWorker(void* parameter)
{
    DeleteOperation* operation = static_cast<DeleteOperation*>(parameter);
    RunDelete(operation);
    LetGo(operation);
    return 0;
}

static void InitProgress(HWND dialog, DeleteOperation* operation)
{
    operation->dialog = dialog;
    SetDlgItemTextW(dialog, IDC_DELETE_NAME, L"");
    SendDlgItemMessageW(dialog, IDC_DELETE_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_DELETE_BAR, PBM_SETPOS, 0, 0);
    InterlockedIncrement(&operation->owners);
    operation->worker = CreateThread(nullptr, 0, DeleteWorker, operation, 0, nullptr);
    if (!operation->worker) {
        InterlockedDecrement(&operation->owners);
        EndDialog(dialog, 0);
    }
}

// The dialog joins its worker as it goes; at an unload only for as long as
// the unload may take, and the worker then finishes on its own copy.
static void JoinWorker(DeleteOperation* operation)
{
    InterlockedExchange(&operation->abandoned, 1);
    if (!operation->worker)
        return;
    WaitForThreadAnswering(operation->worker, UnloadTimeLeft());
    CloseHandle(operation->worker);
    operation->worker = nullptr;
}

static INT_PTR CALLBACK DeleteProgressProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitProgress(dialog, reinterpret_cast<DeleteOperation*>(lParam));
        return TRUE;
    case WM_COMMAND:
        // Enter and Escape would end the dialog under the worker.
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY: {
        auto* operation = reinterpret_cast<DeleteOperation*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (operation)
            JoinWorker(operation);
        return FALSE;
    }
    }
    return FALSE;
}

void RunDeleteProgress(HWND page, InterfaceListItem* item)
{
    InterfaceListItem* copy = item ? DuplicateInterfaceItems(item, 1) : nullptr;
    DeleteOperation* operation = copy ? new (std::nothrow) DeleteOperation{copy, 1, nullptr, 0, 1, nullptr} : nullptr;
    if (!operation) {
        FreeInterfaceItems(copy, 1);
        return;
    }
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_DELETE_PROGRESS), page, DeleteProgressProc,
                    reinterpret_cast<LPARAM>(operation));
    LetGo(operation);
}
