// The progress dialog: the operation request on one thread, the progress
// poll on another, the result and the cancel question on the UI thread.
#include <windows.h>

#include <commctrl.h>

#include <new>

#include "core/agent_messages.h"
#include "core/service_channel.h"
#include "core/unload_deadline.h"
#include "platform/message_box.h"
#include "platform/thread_wait.h"
#include "prefs/data_files_dialogs.h"
#include "prefs/data_files_operation.h"
#include "prefs/settings_snapshot_registry.h"
#include "resources/data_files_ids.h"

const DWORD ProgressPollMs = 500;

// Owned by the dialog; an operation thread that outlives its dialog (an
// unload) owns it from then on and frees it.
enum OperationStage : LONG { OperationRunning, OperationEnded, OperationOrphaned };

struct DataFilesOperation {
    volatile LONG stage;
    HWND dialog;
    HWND progressBar;
    HANDLE operationThread;
    HANDLE pollThread;     // owned by the operation thread
    HANDLE finishedEvent;  // manual reset; ends the poll
    volatile LONG cancelRequested;
    bool questionOpen;
    bool finishPending;
    OperationIdentity identity;
    uint32_t code;
    std::vector<uint8_t> input;
    ServiceStatus status;
};

static DWORD WINAPI PollThread(void* context)
{
    DataFilesOperation* op = static_cast<DataFilesOperation*>(context);
    for (;;) {
        // One more pass after the end, so the bar shows the final figure.
        bool last = WaitForSingleObject(op->finishedEvent, ProgressPollMs) == WAIT_OBJECT_0;
        uint8_t input[ProgressInputBytes];
        BuildProgressInput(op->cancelRequested != 0, op->identity, input);
        ServiceReply reply;
        ServiceStatus status = RequestService(RequestOperationProgress, input, ProgressInputBytes, &reply);
        uint32_t percent = 0;
        if (status == StatusSuccess && ReadOperationProgress(reply.data, reply.size, op->identity, &percent))
            PostMessageW(op->progressBar, PBM_SETPOS, percent, 0);
        ReleaseReply(&reply);
        if (last)
            return 0;
    }
}

static DWORD WINAPI OperationThread(void* context)
{
    DataFilesOperation* op = static_cast<DataFilesOperation*>(context);
    op->pollThread = CreateThread(nullptr, 0, PollThread, op, 0, nullptr);
    ServiceReply reply;
    // A busy service is not asked again: the operation counts as failed.
    op->status = RequestService(op->code, op->input.data(), uint32_t(op->input.size()), &reply);
    const uint8_t* snapshot = nullptr;
    uint32_t snapshotBytes = 0;
    if (op->code == RequestRestore && op->status == StatusSuccess &&
        FindRestoredSnapshot(reply.data, reply.size, &snapshot, &snapshotBytes))
        RestoreSettingsSnapshot(snapshot, snapshotBytes);
    ReleaseReply(&reply);
    SetEvent(op->finishedEvent);
    if (op->pollThread) {
        WaitForSingleObject(op->pollThread, INFINITE);
        CloseHandle(op->pollThread);
        op->pollThread = nullptr;
    }
    CloseHandle(op->finishedEvent);
    op->finishedEvent = nullptr;
    if (InterlockedCompareExchange(&op->stage, OperationEnded, OperationRunning) == OperationOrphaned) {
        CloseHandle(op->operationThread);
        delete op;
        return 0;
    }
    PostMessageW(op->dialog, WM_AGENT_OPERATION_DONE, 0, 0);
    return 0;
}

static DataFilesOperation* OperationOf(HWND dialog)
{
    return reinterpret_cast<DataFilesOperation*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

static void SetGroupTitle(HWND dialog, UINT id)
{
    wchar_t title[256];
    if (LoadAgentString(id, title, 256))
        SetDlgItemTextW(dialog, IDC_DF_PROGRESS_GROUP, title);
}

static UINT DescribeAndFill(HWND dialog, const DataFilesRequest& request)
{
    const Text16& from = request.restore ? request.selectedPath : request.currentPath;
    const Text16& to = request.restore ? request.currentPath : request.selectedPath;
    SetDlgItemTextW(dialog, IDC_DF_CURRENT, from.c_str());
    SetDlgItemTextW(dialog, IDC_DF_SELECTED, to.c_str());
    if (request.restore)
        return request.restoreConfig && request.restoreData ? IDS_DF_RESTORING_BOTH
            : request.restoreConfig                         ? IDS_DF_RESTORING_CONFIG
                                                            : IDS_DF_RESTORING_DATA;
    if (request.backup)
        return request.storeConfig && request.storeData ? IDS_DF_BACKUP_BOTH
            : request.storeConfig                       ? IDS_DF_BACKUP_CONFIG
                                                        : IDS_DF_BACKUP_DATA;
    return IDS_DF_CHANGING;
}

static bool BuildInput(DataFilesOperation* op, const DataFilesRequest& request)
{
    try {
        std::vector<uint8_t> snapshot;
        // Taken here, on the UI thread, before the service is asked anything.
        if (request.backup && request.storeConfig && !TakeSettingsSnapshot(&snapshot))
            return false;
        BuildOperationInput(request, op->identity, snapshot, &op->input);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

static void RefuseStart(HWND dialog, DataFilesOperation* op)
{
    SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
    if (op && op->finishedEvent)
        CloseHandle(op->finishedEvent);
    delete op;
    ShowStringMessage(dialog, IDS_DF_OUT_OF_MEMORY, MB_OK | MB_ICONERROR);
    EndDialog(dialog, -1);
}

static void InitProgress(HWND dialog, const DataFilesRequest* request)
{
    DataFilesOperation* op = new (std::nothrow) DataFilesOperation();
    if (!op || !request) {
        RefuseStart(dialog, op);
        return;
    }
    op->dialog = dialog;
    op->progressBar = GetDlgItem(dialog, IDC_DF_PROGRESS);
    op->identity.ticks = GetTickCount();
    op->identity.processId = GetCurrentProcessId();
    op->identity.threadId = GetCurrentThreadId();
    SendMessageW(op->progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageW(op->progressBar, PBM_SETPOS, 0, 0);
    SetGroupTitle(dialog, DescribeAndFill(dialog, *request));
    op->code = DataFilesRequestCode(*request);
    if (!BuildInput(op, *request)) {
        RefuseStart(dialog, op);
        return;
    }
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(op));
    op->finishedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (op->finishedEvent)
        op->operationThread = CreateThread(nullptr, 0, OperationThread, op, 0, nullptr);
    if (!op->operationThread)
        RefuseStart(dialog, op);
}

static void FinishOperation(HWND dialog)
{
    DataFilesOperation* op = OperationOf(dialog);
    // Any program can post this message number; only the operation's own
    // end counts.
    if (!op || InterlockedCompareExchange(&op->stage, 0, 0) != OperationEnded)
        return;
    if (op->questionOpen) {
        op->finishPending = true;
        return;
    }
    SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
    WaitForSingleObject(op->operationThread, INFINITE);
    CloseHandle(op->operationThread);
    std::vector<uint8_t>().swap(op->input);
    if (op->status == StatusCancelled) {
        ShowStringMessage(dialog, IDS_DF_CANCELED, MB_OK | MB_ICONERROR);
    } else if (op->status != StatusSuccess) {
        ShowStringMessage(dialog, IDS_DF_FAILED, MB_OK | MB_ICONERROR);
    } else {
        SendMessageW(op->progressBar, PBM_SETPOS, 100, 0);
        ShowStringMessage(dialog, IDS_DF_COMPLETE, MB_OK | MB_ICONINFORMATION);
    }
    delete op;
    EndDialog(dialog, 1);
}

static void AskToCancel(HWND dialog)
{
    DataFilesOperation* op = OperationOf(dialog);
    if (!op || op->cancelRequested || op->questionOpen)
        return;
    op->questionOpen = true;
    int answer = ShowStringMessage(dialog, IDS_DF_CANCEL_QUESTION, MB_YESNO | MB_ICONQUESTION);
    op->questionOpen = false;
    if (answer == IDYES) {
        InterlockedExchange(&op->cancelRequested, 1);
        EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    }
    if (op->finishPending)
        FinishOperation(dialog);
}

// The dialog ends under a running operation only at an unload: the service
// is asked to cancel, and the operation is waited for as long as the
// unload allows; past that its thread keeps the record.
static void AbandonOperation(HWND dialog)
{
    DataFilesOperation* op = OperationOf(dialog);
    if (!op)
        return;
    SetWindowLongPtrW(dialog, GWLP_USERDATA, 0);
    InterlockedExchange(&op->cancelRequested, 1);
    WaitForThreadAnswering(op->operationThread, UnloadTimeLeft());
    if (InterlockedCompareExchange(&op->stage, OperationOrphaned, OperationRunning) == OperationRunning)
        return;
    WaitForSingleObject(op->operationThread, INFINITE);
    CloseHandle(op->operationThread);
    delete op;
}

INT_PTR CALLBACK DataFilesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitProgress(dialog, reinterpret_cast<const DataFilesRequest*>(lParam));
        // The paths are for reading; focus on them would show them selected.
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            AskToCancel(dialog);
        return TRUE;
    case WM_CLOSE:
        AskToCancel(dialog);
        return TRUE;
    case WM_AGENT_OPERATION_DONE:
        FinishOperation(dialog);
        return TRUE;
    case WM_DESTROY:
        AbandonOperation(dialog);
        return FALSE;
    }
    return FALSE;
}
