#include "platform/message_box.h"
#include "stats/statistics_state.h"

static const int OverallFields[7] = {IdcCreated,         IdcLastCleared, IdcLastModified,   IdcOverallSummary,
                                     IdcConnectionCount, IdcOverallSent, IdcOverallReceived};
static const int CurrentFields[5] = {IdcCurrentSummary, IdcCurrentSent, IdcCurrentReceived, IdcLinkSpeed,
                                     IdcAverageSpeed};

static const UINT IdsGettingData = 15;

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
    if (LoadAgentString(IdsGettingData, text, 256))
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
    EmptyCombo(window, IdcInterfaceCombo);
    for (int field : OverallFields)
        SetDlgItemTextW(window, field, L"");
    ShowWaitText(window, IdcCreated);
    ResetCurrentFields(window, false);
}

void ResetCurrentFields(HWND window, bool showWaitText)
{
    SaveFocus(window);
    EnableWindow(GetDlgItem(window, IdcClearCurrent), FALSE);
    EnableWindow(GetDlgItem(window, IdcClearOverall), FALSE);
    EmptyCombo(window, IdcConnectionCombo);
    for (int field : CurrentFields)
        SetDlgItemTextW(window, field, L"");
    if (showWaitText)
        ShowWaitText(window, IdcCurrentSummary);
}
