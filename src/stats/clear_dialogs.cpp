// Dialogs 132 and 147: confirm a clear of overall or current statistics.
// The clear itself rides on the worker's next update.
#include <new>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "resources/resource_ids.h"
#include "stats/statistics_state.h"

static const DWORD ConfirmedMark = 0xADCB0000;

// Only one of the two dialogs is open at a time.
static bool ClearConfirmed;
static bool ClearAlsoChecked;
static HWND volatile ClearQuestion;

void CloseClearQuestion(DWORD timeoutMs)
{
    HWND question = ClearQuestion;
    if (question)
        SendMessageTimeoutW(question, AGENT_CLOSE_COMMAND, 0, 0, SMTO_NORMAL, timeoutMs, nullptr);
}

static INT_PTR CALLBACK ClearDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        if (lParam)
            SetDlgItemTextW(dialog, IDC_CLEAR_TEXT, reinterpret_cast<const wchar_t*>(lParam));
        SetWindowTextW(dialog, L"ZorvanHAgent Clear Statistics...");
        ClearConfirmed = false;
        ClearAlsoChecked = false;
        ClearQuestion = dialog;
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) {
            ClearConfirmed = true;
            SendMessageW(dialog, AGENT_CLOSE_COMMAND, 0, 0);
        } else if (wParam == IDCANCEL) {
            SendMessageW(dialog, AGENT_CLOSE_COMMAND, 0, 0);
        } else if (wParam == IDC_CLEAR_ALSO) {
            ClearAlsoChecked = IsDlgButtonChecked(dialog, IDC_CLEAR_ALSO) == BST_CHECKED;
        }
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        ClearQuestion = nullptr;
        EndDialog(dialog, ClearConfirmed ? INT_PTR(ConfirmedMark + (ClearAlsoChecked ? 1 : 0)) : 0);
        return TRUE;
    }
    return FALSE;
}

static DWORD AskClear(HWND window, int dialog, const wchar_t* text)
{
    INT_PTR result =
        DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(dialog), window, ClearDialogProc, reinterpret_cast<LPARAM>(text));
    // A loop ended by a quit skips the close command.
    ClearQuestion = nullptr;
    return result == -1 ? 0 : DWORD(result);
}

static bool Confirmed(DWORD result)
{
    return (result >> 16) == (ConfirmedMark >> 16);
}

static void StartClearThread(DWORD result)
{
    StartStatisticsHelper(HelperClear, StartClear, reinterpret_cast<void*>(UINT_PTR(result)));
}

// The names as the combos show them: the worker keeps them equal to the
// state's current names, and reading them here needs no lock, which this
// thread must never wait for.
static Text16 ChosenText(HWND window, int combo)
{
    wchar_t text[512] = L"";
    LRESULT index = SendDlgItemMessageW(window, combo, CB_GETCURSEL, 0, 0);
    LRESULT length = index == CB_ERR ? CB_ERR : SendDlgItemMessageW(window, combo, CB_GETLBTEXTLEN, index, 0);
    if (length != CB_ERR && length < 512)
        SendDlgItemMessageW(window, combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

void AskClearOverall(HWND window)
{
    if (!IsAdmin)
        return;
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    Text16 name;
    try {
        name = ChosenText(window, IDC_STATS_INTERFACE_COMBO);
    } catch (const std::bad_alloc&) {
        return;
    }
    DWORD result = AskClear(window, IDD_CLEAR_OVERALL, name.c_str());
    if (!Confirmed(result))
        return;
    // Set here, before the thread starts, so no update can run in between
    // with only half of them.
    s.clearOverallPending = true;
    if (result & 1) {
        s.clearCurrentPending = true;
        s.clearAllCurrent = true;
    }
    StartClearThread(0);
}

void AskClearCurrent(HWND window)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if (!s.connectionValid || !s.hasConnectionName)
        return;
    Text16* text = nullptr;
    try {
        text = new Text16(ChosenText(window, IDC_STATS_INTERFACE_COMBO) + L"\r\n" +
                          ChosenText(window, IDC_STATS_CONNECTION_COMBO));
    } catch (const std::bad_alloc&) {
        return;
    }
    DWORD result = AskClear(window, IDD_CLEAR_CURRENT, text->c_str());
    delete text;
    if (Confirmed(result))
        StartClearThread(result);
}
