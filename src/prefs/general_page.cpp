#include "prefs/general_page.h"

#include <commctrl.h>

#include <cwchar>

#include "core/agent_messages.h"
#include "core/agent_state.h"
#include "platform/message_box.h"
#include "prefs/agent_options.h"
#include "prefs/data_files_operation.h"
#include "prefs/general_page_requests.h"
#include "prefs/startup_shortcut.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"
#include "tray/main_dialog.h"
#include "tray/preferences_frame.h"

struct StartupFlag {
    const wchar_t* name;
    int checkBox;
};

static const StartupFlag StartupFlags[] = {
    {L"SetDisableStateZorvanHAgent", IDC_START_DISABLED},
    {L"ShowMonitorWindows", IDC_START_MONITORS},
    {L"ShowStatisticsWindow", IDC_START_STATISTICS},
};

struct StatisticWindowFlag {
    const wchar_t* name;
    BYTE preset;
    int checkBox;
    bool StatisticWindowOptionsRecord::*option;
};

// In the order the statistics window reads them.
static const StatisticWindowFlag StatisticWindowFlags[] = {
    {L"ShowWindowOnTop", 0, IDC_WINDOW_ON_TOP, &StatisticWindowOptionsRecord::ShowWindowOnTop},
    {L"HideMSInTime", 1, IDC_HIDE_MS, &StatisticWindowOptionsRecord::HideMSInTime},
    {L"DontConsiderHardwareHeaders", 1, IDC_NO_HARDWARE_HEADERS,
     &StatisticWindowOptionsRecord::DontConsiderHardwareHeaders},
    {L"AverageSpeedInBytesPerSecond", 0, IDC_AVERAGE_IN_BYTES,
     &StatisticWindowOptionsRecord::AverageSpeedInBytesPerSecond},
    {L"SpeedInBytesPerSecond", 0, IDC_SPEED_IN_BYTES, &StatisticWindowOptionsRecord::SpeedInBytesPerSecond},
};

static void SetCheck(HWND page, int id, bool on)
{
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
}

static bool IsChecked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

// A failed open leaves the check box as the user clicked it.
static void WriteFlag(const wchar_t* section, const wchar_t* name, bool on)
{
    HKEY key = OpenAgentSettingsKey(section, true, true);
    if (!key)
        return;
    BYTE flag = on ? 1 : 0;
    SyncFlagValue(key, &flag, name, true);
    RegCloseKey(key);
}

void LoadStartupOptions(HWND page)
{
    HKEY key = OpenAgentSettingsKey(L"General", true, true);
    if (!key)
        return;
    // The value only mirrors the shortcut, so it is written, never read.
    BYTE enabled = StartupShortcutExists() ? 1 : 0;
    SyncFlagValue(key, &enabled, L"EnableStartZorvanHAgent", true);
    SetCheck(page, IDC_ENABLE_START, enabled != 0);
    for (const StartupFlag& entry : StartupFlags) {
        BYTE flag = 0;
        SyncFlagValue(key, &flag, entry.name, false);
        SetCheck(page, entry.checkBox, flag != 0);
    }
    RegCloseKey(key);
}

static void SetHoldLabel(HWND page)
{
    int position = static_cast<int>(SendDlgItemMessageW(page, IDC_HOLD_SLIDER, TBM_GETPOS, 0, 0));
    wchar_t pattern[256];
    if (!LoadAgentString(HoldLabelStringId(position), pattern, 256))
        return;
    wchar_t label[300];
    // A string-table format goes to the system's wsprintfW, which reads it
    // the same whatever compiler built the agent (its "%d" is the seconds).
    if (wsprintfW(label, pattern, position) > 0)
        SetDlgItemTextW(page, IDC_HOLD_LABEL, label);
}

// Steps shared by a full load and a refresh: the controls that need the
// service follow whether its settings could be read, then show them.
static void ShowDataFilesSettings(HWND page, bool obtained, Text16* folderText)
{
    bool enable = obtained && IsAdmin;
    for (int id : {IDC_DATA_BROWSE, IDC_CUMULATIVE, IDC_HOLD_LABEL, IDC_HOLD_SLIDER})
        EnableWindow(GetDlgItem(page, id), enable);
    SendDlgItemMessageW(page, IDC_HOLD_SLIDER, TBM_SETPOS, TRUE, HoldSliderPosition(GeneralPageState.last.HoldSeconds));
    SetHoldLabel(page);
    SetCheck(page, IDC_CUMULATIVE, GeneralPageState.last.CumulativeStatistics != 0);
    Text16().swap(*folderText);
}

void LoadGeneralPage(HWND page)
{
    LoadStartupOptions(page);
    HKEY key = OpenAgentSettingsKey(L"StatisticWindow", true, true);
    if (key) {
        // Each value starts from its default, not from what is in memory,
        // so a missing value is completed with the default.
        for (const StatisticWindowFlag& entry : StatisticWindowFlags) {
            BYTE flag = entry.preset;
            SyncFlagValue(key, &flag, entry.name, false);
            StatisticWindowOptions.*entry.option = flag != 0;
            SetCheck(page, entry.checkBox, flag != 0);
        }
        SendDlgItemMessageW(page, IDC_HOLD_SLIDER, TBM_SETRANGE, FALSE, MAKELPARAM(0, HoldForever));
        RegCloseKey(key);
    }
    GeneralPageState.last = {0, 0};
    Text16 folderText;
    bool obtained = QueryDataFilesSettings(page, &folderText);
    ShowDataFilesSettings(page, obtained, &folderText);
}

static void RefreshDataFilesSettings(HWND page)
{
    // The last values are kept when the read fails.
    Text16 folderText;
    bool obtained = QueryDataFilesSettings(page, &folderText);
    ShowDataFilesSettings(page, obtained, &folderText);
}

static void InitGeneralPage(HWND page)
{
    GeneralPageState.page = page;
    PlacePage(page);
    LoadGeneralPage(page);
    // The start-up option takes effect here, as a double-click on the icon.
    if (StartupOptions.ShowStatisticsWindow && !StartupOptions.SetDisableState)
        PostMessageW(MainWindow, WM_AGENT_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
}

static void EnableStartAtLogon(HWND page)
{
    bool on = IsChecked(page, IDC_ENABLE_START);
    bool exists = StartupShortcutExists();
    if (on && !exists)
        CreateStartupShortcut();
    else if (!on && exists)
        DeleteStartupShortcut();
    // Written even when the shortcut could not be made; the next load
    // shows the real state.
    WriteFlag(L"General", L"EnableStartZorvanHAgent", on);
}

static void WriteStatisticWindowFlag(HWND page, int checkBox)
{
    for (const StatisticWindowFlag& entry : StatisticWindowFlags) {
        if (entry.checkBox != checkBox)
            continue;
        bool on = IsChecked(page, checkBox);
        StatisticWindowOptions.*entry.option = on;
        WriteFlag(L"StatisticWindow", entry.name, on);
        HWND statistics = StatisticsWindow;
        if (statistics)
            SendMessageW(statistics, WM_AGENT_REFRESH, 0, 0);
        return;
    }
}

static void OnClicked(HWND page, int id)
{
    switch (id) {
    case IDC_ENABLE_START:
        EnableStartAtLogon(page);
        return;
    case IDC_START_DISABLED:
        WriteFlag(L"General", L"SetDisableStateZorvanHAgent", IsChecked(page, id));
        return;
    case IDC_START_MONITORS:
        WriteFlag(L"General", L"ShowMonitorWindows", IsChecked(page, id));
        return;
    case IDC_START_STATISTICS:
        WriteFlag(L"General", L"ShowStatisticsWindow", IsChecked(page, id));
        return;
    case IDC_HIDE_MS:
    case IDC_WINDOW_ON_TOP:
    case IDC_AVERAGE_IN_BYTES:
    case IDC_SPEED_IN_BYTES:
    case IDC_NO_HARDWARE_HEADERS:
        WriteStatisticWindowFlag(page, id);
        return;
    case IDC_CUMULATIVE:
        ApplyDisconnectedOptions(page);
        return;
    case IDC_DATA_BROWSE: {
        wchar_t folder[261];
        GetDlgItemTextW(page, IDC_DATA_FOLDER, folder, 261);
        StartDataFilesOperation(page, folder);
        return;
    }
    }
}

static void OnSlider(HWND page, WPARAM wParam, HWND control)
{
    if (control != GetDlgItem(page, IDC_HOLD_SLIDER))
        return;
    SetHoldLabel(page);
    // Dragging only moves the label; the service hears of the new value
    // once, when the slider is let go.
    if (LOWORD(wParam) == TB_ENDTRACK)
        ApplyDisconnectedOptions(page);
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitGeneralPage(page);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            OnClicked(page, LOWORD(wParam));
        return TRUE;
    case WM_HSCROLL:
        OnSlider(page, wParam, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_AGENT_REFRESH:
        RefreshDataFilesSettings(page);
        return TRUE;
    case WM_AGENT_RELOAD_PAGE:
        LoadGeneralPage(page);
        SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    return FALSE;
}
