#include "tray/main_dialog.h"

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "core/unload_deadline.h"
#include "monitor/monitor_threads.h"
#include "platform/message_box.h"
#include "prefs/agent_options.h"
#include "prefs/data_files_operation.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"
#include "tray/about_box.h"
#include "tray/menu_draw.h"
#include "tray/preferences_frame.h"
#include "tray/tray_commands.h"
#include "tray/tray_icon.h"
#include "tray/tray_menu.h"

HWND MainWindow;
HWND ExitWindow;
static UINT TaskbarCreatedMessage;
// Set while the window lives only as a tray icon. The modal dialog loop shows
// its dialog the first time its queue runs empty, which comes after the
// posted command 3 has hidden it; the flag keeps that show from happening.
static bool HiddenInTray;

static INT_PTR CALLBACK ExitWindowProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ExitWindow = window;
        SetWindowTextW(window, L"ZorvanHAgent Exit Window");
        return TRUE;
    case WM_AGENT_REFRESH:
        // Another program asks the agent to go: no question, no delay. The
        // posted close command ends the main dialog's loop like a quit.
        BeginUnload();
        RemoveTrayIcon(MainWindow);
        PostMessageW(MainWindow, AGENT_CLOSE_COMMAND, 0, 0);
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        ExitWindow = nullptr;
        DestroyWindow(window);
        return TRUE;
    }
    return FALSE;
}

static void SetPreferencesCaption(HWND dialog)
{
    wchar_t caption[256];
    if (LoadAgentString(IDS_PREFERENCES_CAPTION, caption, 256))
        SetWindowTextW(dialog, caption);
}

static void InitMainDialog(HWND dialog)
{
    SetPreferencesCaption(dialog);
    MainWindow = dialog;
    HWND exitWindow = CreateDialogParamW(AppInstance, MAKEINTRESOURCEW(IDD_EXIT_WINDOW), dialog, ExitWindowProc, 0);
    if (exitWindow)
        ShowWindow(exitWindow, SW_HIDE);
    PostMessageW(dialog, WM_COMMAND, ID_ADD_TRAY_ICON, 0);
    ShowWindow(dialog, SW_MINIMIZE);
    HICON icon = LoadIconW(AppInstance, MAKEINTRESOURCEW(IDI_AGENT));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetWindowLongPtrW(dialog, GWL_EXSTYLE, GetWindowLongPtrW(dialog, GWL_EXSTYLE) | WS_EX_APPWINDOW);
    FillPageTree(dialog);
    TaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
}

static void UnloadAgent(HWND dialog)
{
    BeginUnload();
    if (ExitWindow)
        SendMessageW(ExitWindow, AGENT_CLOSE_COMMAND, 0, 0);
    RemoveTrayIcon(dialog);
    if (StatisticsWindow)
        EndDialog(StatisticsWindow, 0);
    if (AboutWindow)
        EndDialog(AboutWindow, 0);
    CloseMonitors(UnloadTimeLeft());
    EndDialog(dialog, 0);
    PostQuitMessage(0);
}

// The page on show may have missed changes while the window was hidden
// (a bind, an adapter plugged in): it lists again before it is seen.
void ShowPreferences()
{
    HWND page = CurrentPage;
    if (page && page == InterfacesPage)
        SendMessageW(page, WM_COMMAND, IDC_REFRESH_INTERFACES, 0);
    else if (page && page == MovementsPage)
        SendMessageW(page, WM_AGENT_REFRESH, 0, 0);
    HiddenInTray = false;
    ShowWindow(MainWindow, SW_SHOW);
    ShowWindow(MainWindow, SW_RESTORE);
    SetForegroundWindow(MainWindow);
}

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (TaskbarCreatedMessage != 0 && message == TaskbarCreatedMessage) {
        ShowTrayIcon(dialog, NIM_ADD, StartupOptions.SetDisableState);
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG:
        InitMainDialog(dialog);
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        if (HiddenInTray) {
            auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
            position->flags &= ~SWP_SHOWWINDOW;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
        case IDC_MAIN_CLOSE:
            ShowWindow(dialog, SW_HIDE);
            return TRUE;
        case ID_ADD_TRAY_ICON:
            if (ShowTrayIcon(dialog, NIM_ADD, StartupOptions.SetDisableState)) {
                HiddenInTray = true;
                ShowWindow(dialog, SW_HIDE);
            }
            return TRUE;
        }
        return FALSE;
    case WM_AGENT_REFRESH:
        SetPreferencesCaption(dialog);
        return TRUE;
    case WM_AGENT_TRAY_NOTIFY:
        // A data-files operation owns the agent until its progress ends.
        if (DataFilesBusy)
            return TRUE;
        if (lParam == WM_LBUTTONDBLCLK)
            ShowStatistics();
        else if (lParam == WM_RBUTTONUP)
            OpenTrayMenu(dialog);
        return TRUE;
    case WM_NOTIFY:
        OnTreeNotify(reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    case WM_MEASUREITEM:
        return MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
        return DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_MENUCHAR:
        // Only a handful of messages take a dialog procedure's return value
        // as their result; this one reads it from the window.
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, AnswerMenuChar(wParam, lParam));
        return TRUE;
    case AGENT_CLOSE_COMMAND:
        UnloadAgent(dialog);
        return TRUE;
    }
    return FALSE;
}
