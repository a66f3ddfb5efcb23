#include "prefs/general_page_requests.h"

#include <new>

#include <commctrl.h>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/service_channel.h"
#include "core/unload_deadline.h"
#include "platform/message_box.h"
#include "platform/thread_wait.h"
#include "resources/resource_ids.h"

GeneralPageRecord GeneralPageState;

// Request 9 runs on the UI thread, so a service that stays busy must not
// hang the agent: after about two seconds it counts as an error.
const int UiBusyRepeats = 100;

static bool PauseOnUiThread(void* context)
{
    int* left = static_cast<int*>(context);
    if (--*left <= 0)
        return false;
    Sleep(20);
    return true;
}

// The worker is behind a modal dialog, so it may wait as long as it takes,
// but not past the start of an unload.
static bool PauseInWorker(void*)
{
    Sleep(20);
    return !UnloadBegun();
}

bool QueryDataFilesSettings(HWND page, Text16* folderText)
{
    Text16().swap(*folderText);
    ServiceReply reply;
    int left = UiBusyRepeats;
    ServiceStatus status =
        RequestServiceUntilNotBusy(RequestReadDataSettings, nullptr, 0, &reply, PauseOnUiThread, &left);
    bool obtained = false;
    bool haveText = false;
    // A folder text that cannot be allocated leaves the box as it was.
    try {
        if (status == StatusSuccess &&
            DecodeDataFilesSettings(reply.data, reply.size, &GeneralPageState.last, folderText) == DataFilesDecoded) {
            obtained = true;
            haveText = true;
        } else {
            wchar_t message[520];
            if (LoadAgentString(FolderMessageStringId(status), message, 520)) {
                folderText->assign(message);
                haveText = true;
            }
        }
    } catch (const std::bad_alloc&) {
        Text16().swap(*folderText);
        haveText = false;
    }
    ReleaseReply(&reply);
    if (page && haveText)
        SetDlgItemTextW(page, IDC_DATA_FOLDER, folderText->c_str());
    return obtained;
}

static DWORD WINAPI DisconnectedOptionsWorker(void* dialog)
{
    uint8_t input[DisconnectedOptionsInputSize];
    BuildDisconnectedOptionsInput(GeneralPageState.pending, input);
    ServiceReply reply;
    RequestServiceUntilNotBusy(RequestWriteDataSettings, input, DisconnectedOptionsInputSize, &reply, PauseInWorker,
                               nullptr);
    // What the service now holds is read back, so a refused change snaps
    // the controls back without a message.
    PostMessageW(GeneralPageState.page, WM_AGENT_REFRESH, 0, 0);
    ReleaseReply(&reply);
    SendMessageW(static_cast<HWND>(dialog), AGENT_CLOSE_COMMAND, 0, 0);
    return 0;
}

static INT_PTR CALLBACK SynchronizingDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        HANDLE worker = CreateThread(nullptr, 0, DisconnectedOptionsWorker, dialog, 0, nullptr);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(worker));
        if (!worker)
            EndDialog(dialog, 0);
        return TRUE;
    }
    case WM_DESTROY: {
        // Joined here: the worker reads the page's record. At an unload it
        // stops repeating a busy request, and the wait is bounded anyway.
        HANDLE worker = reinterpret_cast<HANDLE>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
        if (worker) {
            WaitForThreadAnswering(worker, UnloadTimeLeft());
            CloseHandle(worker);
        }
        return FALSE;
    }
    case AGENT_CLOSE_COMMAND:
        // The dialog loop drops whatever it takes from the queue once the
        // dialog has ended, and the page's refresh, posted before this close,
        // may still be waiting there. Ending behind it lets it through.
        PostMessageW(dialog, WM_SYNCHRONIZED, 0, 0);
        return TRUE;
    case WM_SYNCHRONIZED:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

void ApplyDisconnectedOptions(HWND page)
{
    GeneralPageState.pending.HoldSeconds =
        static_cast<uint32_t>(SendDlgItemMessageW(page, IDC_HOLD_SLIDER, TBM_GETPOS, 0, 0));
    GeneralPageState.pending.CumulativeStatistics = IsDlgButtonChecked(page, IDC_CUMULATIVE) == BST_CHECKED ? 1 : 0;
    if (!DisconnectedOptionsNeedSending(GeneralPageState.pending, GeneralPageState.last))
        return;
    DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_SYNCHRONIZING), page, SynchronizingDialogProc, 0);
}
