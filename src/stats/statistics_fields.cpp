#include "platform/message_box.h"
#include "resources/resource_ids.h"
#include "stats/statistics_state.h"

static const int OverallFields[7] = {IDC_STATS_CREATED,         IDC_STATS_LAST_CLEARED,     IDC_STATS_LAST_MODIFIED,
                                     IDC_STATS_OVERALL_SUMMARY, IDC_STATS_CONNECTION_COUNT, IDC_STATS_OVERALL_SENT,
                                     IDC_STATS_OVERALL_RECEIVED};
static const int CurrentFields[5] = {IDC_STATS_CURRENT_SUMMARY, IDC_STATS_CURRENT_SENT, IDC_STATS_CURRENT_RECEIVED,
                                     IDC_STATS_LINK_SPEED, IDC_STATS_AVERAGE_SPEED};

void SaveFocus(HWND window)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if (s.focusSaved)
        return;
    s.focusSaved = true;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus)
        s.savedFocus = info.hwndFocus;
}

static void ShowWaitText(HWND window, int field)
{
    wchar_t text[256];
    if (LoadAgentString(IDS_GETTING_DATA, text, 256))
        SetDlgItemTextW(window, field, text);
}

static void EmptyCombo(HWND window, int combo)
{
    SendDlgItemMessageW(window, combo, CB_RESETCONTENT, 0, 0);
    SendDlgItemMessageW(window, combo, CB_SETCURSEL, 0, 0);
    EnableWindow(GetDlgItem(window, combo), FALSE);
}

void ResetAllFields(HWND window)
{
    SaveFocus(window);
    EmptyCombo(window, IDC_STATS_INTERFACE_COMBO);
    for (int field : OverallFields)
        SetDlgItemTextW(window, field, L"");
    ShowWaitText(window, IDC_STATS_CREATED);
    ResetCurrentFields(window, false);
}

void ResetCurrentFields(HWND window, bool showWaitText)
{
    SaveFocus(window);
    EnableWindow(GetDlgItem(window, IDC_STATS_CLEAR_CURRENT), FALSE);
    EnableWindow(GetDlgItem(window, IDC_STATS_CLEAR_OVERALL), FALSE);
    EmptyCombo(window, IDC_STATS_CONNECTION_COMBO);
    for (int field : CurrentFields)
        SetDlgItemTextW(window, field, L"");
    if (showWaitText)
        ShowWaitText(window, IDC_STATS_CURRENT_SUMMARY);
}
