// Progress dialog 103 and the bind worker behind it: request 5 for each
// marked item, the bar, and the questions and errors along the way.
#include <windows.h>
#include <commctrl.h>

#include <new>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/service_channel.h"
#include "core/unload_deadline.h"
#include "platform/message_box.h"
#include "platform/thread_wait.h"
#include "prefs/item_operation.h"
#include "prefs/interfaces_page.h"
#include "resources/resource_ids.h"

// Shared by the command and the worker, with its own copy of the items:
// an unload can end the dialog while the worker is inside a request, and
// whichever of the two lets go last frees it.
struct BindOperation {
    uint8_t Bind;
    InterfaceListItem* items;
    size_t count;
    HWND dialog;
    volatile LONG cancel;     // written by the dialog, read and cleared by the worker
    volatile LONG abandoned;  // the dialog has gone: no more items, no questions
    volatile LONG owners;
    HANDLE worker;
};

static int AskOperation(const BindOperation* operation, UINT id, UINT flags)
{
    wchar_t text[256], caption[256];
    if (operation->abandoned || !LoadAgentString(id, text, 256))
        return 0;
    LoadAgentString(operation->Bind ? IDS_BINDING_CAPTION : IDS_UNBINDING_CAPTION, caption, 256);
    return MessageBoxW(operation->dialog, text, caption, flags);
}

// One marked item; false when the operation is to stop.
static bool ProcessItem(BindOperation* operation, const InterfaceListItem& item, bool last)
{
    SetDlgItemTextW(operation->dialog, IDC_BIND_NAME, item.Name);
    uint32_t size = 0;
    uint8_t* query = BuildBindQuery(operation->Bind != 0, item.Name, GetCurrentProcessId(), &size);
    BindStepReaction reaction;
    if (query) {
        ServiceStatus status = RequestService(RequestBindMiniport, query, size, nullptr);
        delete[] query;
        reaction = ReactToBindStatus(status, last);
    } else {
        reaction = ReactToQueryShortage(last);
    }
    if (reaction.action == BindStepStop) {
        AskOperation(operation, reaction.stringId, MB_OK | MB_ICONERROR);
        return false;
    }
    if (reaction.action == BindStepAskGoOn)
        return AskOperation(operation, reaction.stringId, MB_YESNO | MB_ICONERROR) == IDYES;
    return true;
}

static void RunBind(BindOperation* operation)
{
    size_t left = operation->count ? MarkItemsForBind(operation->items, operation->count, operation->Bind != 0) : 0;
    if (left == 0) {
        CloseProgress(operation);
        return;
    }
    HWND bar = GetDlgItem(operation->dialog, IDC_BIND_BAR);
    double step = 100.0 / static_cast<double>(left);
    double position = 0.0;
    for (size_t at = 0; at < operation->count; ++at) {
        InterlockedExchange(&operation->cancel, 0);
        const InterfaceListItem& item = operation->items[at];
        if (item.Marked) {
            size_t remaining = left - 1;
            if (operation->abandoned || !ProcessItem(operation, item, remaining == 0)) {
                CloseProgress(operation);
                return;
            }
            position += step;
            SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(static_cast<int>(position)), 0);
            left = remaining;
        }
        if (left == 0)
            break;
        // Escape is answered between two interfaces, never in the middle of one.
        if (operation->cancel && AskOperation(operation, IDS_STOP_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            CloseProgress(operation);
            return;
        }
    }
    SetDlgItemTextW(operation->dialog, IDC_BIND_NAME, L"Completed");
    SendMessageW(bar, PBM_SETPOS, 100, 0);
    if (!operation->abandoned)
        Sleep(500);
    CloseProgress(operation);
}

static DWORD WINAPI BindWorker(void* parameter)
{
    BindOperation* operation = static_cast<BindOperation*>(parameter);
    RunBind(operation);
    LetGo(operation);
    return 0;
}

static void InitProgress(HWND dialog, BindOperation* operation)
{
    operation->dialog = dialog;
    wchar_t text[256];
    if (LoadAgentString(operation->Bind ? IDS_BINDING_CAPTION : IDS_UNBINDING_CAPTION, text, 256))
        SetWindowTextW(dialog, text);
    if (LoadAgentString(operation->Bind ? IDS_BINDING_TO : IDS_UNBINDING_FROM, text, 256))
        SetDlgItemTextW(dialog, IDC_BIND_TEXT, text);
    SetDlgItemTextW(dialog, IDC_BIND_NAME, L"");
    SendDlgItemMessageW(dialog, IDC_BIND_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(dialog, IDC_BIND_BAR, PBM_SETPOS, 0, 0);
    operation->cancel = 0;
    InterlockedIncrement(&operation->owners);
    operation->worker = CreateThread(nullptr, 0, BindWorker, operation, 0, nullptr);
    if (!operation->worker) {
        InterlockedDecrement(&operation->owners);
        EndDialog(dialog, 0);
    }
}

// The dialog joins its worker as it goes; at an unload only for as long as
// the unload may take, and the worker then finishes on its own copy.
static void JoinWorker(BindOperation* operation)
{
    InterlockedExchange(&operation->abandoned, 1);
    if (!operation->worker)
        return;
    WaitForThreadAnswering(operation->worker, UnloadTimeLeft());
    CloseHandle(operation->worker);
    operation->worker = nullptr;
}

static INT_PTR CALLBACK BindProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        InitProgress(dialog, reinterpret_cast<BindOperation*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            BindOperation* operation = reinterpret_cast<BindOperation*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (operation)
                InterlockedExchange(&operation->cancel, 1);
        }
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY: {
        auto* operation = reinterpret_cast<BindOperation*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (operation)
            JoinWorker(operation);
        return FALSE;
    }
    }
    return FALSE;
}

void RunBindProgress(HWND page, bool bind, InterfaceListItem* first, size_t count)
{
    InterfaceListItem* items = DuplicateInterfaceItems(first, count);
    BindOperation* operation = items
        ? new (std::nothrow) BindOperation{static_cast<uint8_t>(bind ? 1 : 0), items, count, nullptr, 0, 0, 1, nullptr}
        : nullptr;
    if (!operation) {
        FreeInterfaceItems(items, count);
        return;
    }
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_BIND_PROGRESS), page, BindProgressProc,
                    reinterpret_cast<LPARAM>(operation));
    LetGo(operation);
}
