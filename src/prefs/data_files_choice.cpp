// The action dialog: restore, backup or change of folder, with its options.
#include "prefs/data_files_dialogs.h"

#include "core/agent_messages.h"
#include "platform/message_box.h"
#include "resources/data_files_ids.h"

enum DataFilesMode { ModeRestore, ModeBackup, ModeChange };

static const int RestoreControls[] = {IDC_DF_RESTORE_CONFIG, IDC_DF_RESTORE_DATA};
static const int BackupControls[] = {IDC_DF_BACKUP_GROUP, IDC_DF_STORE_CONFIG, IDC_DF_STORE_DATA, IDC_DF_CLEAR_AFTER};
static const int ChangeControls[] = {IDC_DF_CHANGE_GROUP, IDC_DF_REMOVE_CURRENT, IDC_DF_COPY_CLEARED};
static const int ModeRadios[] = {IDC_DF_RESTORE, IDC_DF_BACKUP, IDC_DF_CHANGE};

template <size_t N> static void EnableControls(HWND dialog, const int (&ids)[N], bool on)
{
    for (int id : ids)
        EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

static bool IsChecked(HWND dialog, int id)
{
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

static void SetCheck(HWND dialog, int id, bool on)
{
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

static DataFilesMode CurrentMode(HWND dialog)
{
    if (IsChecked(dialog, IDC_DF_RESTORE))
        return ModeRestore;
    if (IsChecked(dialog, IDC_DF_BACKUP))
        return ModeBackup;
    return ModeChange;
}

static void SetMode(HWND dialog, DataFilesMode mode)
{
    for (int i = 0; i < 3; ++i) {
        HWND radio = GetDlgItem(dialog, ModeRadios[i]);
        SetCheck(dialog, ModeRadios[i], i == mode);
        EnableWindow(radio, TRUE);
        InvalidateRect(radio, nullptr, TRUE);
    }
    EnableControls(dialog, RestoreControls, mode == ModeRestore);
    EnableControls(dialog, BackupControls, mode == ModeBackup);
    EnableControls(dialog, ChangeControls, mode == ModeChange);
}

static void InitChoice(HWND dialog, DataFilesRequest* request)
{
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(request));
    SetDlgItemTextW(dialog, IDC_DF_CURRENT, request->currentPath.c_str());
    SetDlgItemTextW(dialog, IDC_DF_SELECTED, request->selectedPath.c_str());
    SetCheck(dialog, IDC_DF_CLEAR_AFTER, false);
    SetCheck(dialog, IDC_DF_COPY_CLEARED, false);
    for (int id :
         {IDC_DF_REMOVE_CURRENT, IDC_DF_STORE_CONFIG, IDC_DF_STORE_DATA, IDC_DF_RESTORE_CONFIG, IDC_DF_RESTORE_DATA})
        SetCheck(dialog, id, true);
    SetMode(dialog, ModeChange);
}

// Yes returns to the dialog, No gives up.
static bool AskAgain(HWND dialog, UINT question)
{
    int answer = ShowStringMessage(dialog, question, MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES)
        return true;
    EndDialog(dialog, 0);
    return false;
}

static void AcceptChoice(HWND dialog)
{
    DataFilesRequest* request = reinterpret_cast<DataFilesRequest*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
    if (!request)
        return;
    switch (CurrentMode(dialog)) {
    case ModeRestore:
        request->restore = 1;
        request->restoreConfig = IsChecked(dialog, IDC_DF_RESTORE_CONFIG);
        request->restoreData = IsChecked(dialog, IDC_DF_RESTORE_DATA);
        if (!request->restoreConfig && !request->restoreData) {
            request->restore = 0;
            AskAgain(dialog, IDS_DF_RESTORE_NOTHING);
            return;
        }
        break;
    case ModeBackup:
        request->backup = 1;
        request->storeConfig = IsChecked(dialog, IDC_DF_STORE_CONFIG);
        request->storeData = IsChecked(dialog, IDC_DF_STORE_DATA);
        if (!request->storeConfig && !request->storeData) {
            request->backup = 0;
            AskAgain(dialog, IDS_DF_BACKUP_NOTHING);
            return;
        }
        request->clearAfterCopy = IsChecked(dialog, IDC_DF_CLEAR_AFTER);
        break;
    case ModeChange:
        request->copyCleared = IsChecked(dialog, IDC_DF_COPY_CLEARED);
        request->removeFromCurrent = IsChecked(dialog, IDC_DF_REMOVE_CURRENT);
        break;
    }
    EndDialog(dialog, 1);
}

INT_PTR CALLBACK DataFilesChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitChoice(dialog, reinterpret_cast<DataFilesRequest*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        switch (LOWORD(wParam)) {
        case IDOK:
            AcceptChoice(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_DF_RESTORE:
        case IDC_DF_BACKUP:
        case IDC_DF_CHANGE:
            if (IsChecked(dialog, LOWORD(wParam)))
                SetMode(dialog,
                        LOWORD(wParam) == IDC_DF_RESTORE      ? ModeRestore
                            : LOWORD(wParam) == IDC_DF_BACKUP ? ModeBackup
                                                              : ModeChange);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
    case AGENT_CLOSE_COMMAND:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
