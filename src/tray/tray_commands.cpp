#include "tray/tray_commands.h"

#include "core/agent_directory.h"
#include "core/agent_messages.h"
#include "core/text16.h"
#include "monitor/monitor_threads.h"
#include "platform/message_box.h"
#include "prefs/agent_options.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"
#include "tray/about_box.h"
#include "tray/help_control.h"
#include "tray/main_dialog.h"
#include "tray/tray_icon.h"

bool StatsHiddenByDisable;
bool UnloadConfirming;
bool HelpOpening;

void ShowStatistics()
{
    if (StatisticsWindow) {
        SetForegroundWindow(StatisticsWindow);
        ShowWindow(StatisticsWindow, SW_RESTORE);
    } else {
        StartStatisticsWindow();
    }
}

void ToggleDisableState(HWND owner)
{
    if (StartupOptions.SetDisableState) {
        StartupOptions.SetDisableState = false;
        if (StatsHiddenByDisable) {
            PostMessageW(owner, WM_AGENT_TRAY_NOTIFY, 0, WM_LBUTTONDBLCLK);
            StatsHiddenByDisable = false;
        }
        ShowMonitorsHiddenByAgent();
    } else {
        StartupOptions.SetDisableState = true;
        if (StatisticsWindow) {
            // Its "&Hide" clears the flag, so it is set only afterwards.
            SendMessageW(StatisticsWindow, WM_COMMAND, IDOK, 0);
            StatsHiddenByDisable = true;
        }
        HideMonitorsForDisable();
    }
    ShowTrayIcon(owner, NIM_MODIFY, StartupOptions.SetDisableState);
}

void OpenHelp(HWND owner)
{
    if (HelpOpening)
        return;
    HelpOpening = true;
    const wchar_t manual[] = L"ZorvanHMonitorManual.chm";
    wchar_t path[520 + 32];
    if (!GetAgentDirectory(path, 520))
        path[0] = 0;
    lstrcatW(path, manual);
    HtmlHelpFunction htmlHelp = FindHtmlHelp();
    HWND help = htmlHelp ? htmlHelp(owner, path, 0 /* HH_DISPLAY_TOPIC */, 0) : nullptr;
    if (!help) {
        wchar_t format[256];
        wchar_t text[256 + 552];
        if (LoadAgentString(IDS_HELP_NOT_FOUND, format, 256)) {
            FormatWithText(text, 256 + 552, format, path);
            MessageBoxW(nullptr, text, AppTitle, MB_OK | MB_ICONERROR);
        }
    }
    HelpOpening = false;
}

void AskToUnload(HWND owner)
{
    if (UnloadConfirming)
        return;
    wchar_t question[256];
    if (LoadAgentString(IDS_UNLOAD_QUESTION, question, 256)) {
        UnloadConfirming = true;
        int answer = MessageBoxW(nullptr, question, AppTitle, MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) {
            UnloadConfirming = false;
            return;
        }
    }
    SendMessageW(owner, AGENT_CLOSE_COMMAND, 0, 0);
}

void RunTrayCommand(HWND owner, UINT command, const Text16* interfaceName, const Text16* interfaceId)
{
    switch (command) {
    case IDM_STATISTICS:
        ShowStatistics();
        return;
    case IDM_PREFERENCES:
        ShowPreferences();
        return;
    case IDM_ABOUT:
        ShowAbout();
        return;
    case IDM_HELP:
        OpenHelp(owner);
        return;
    case IDM_ENABLE_DISABLE:
        ToggleDisableState(owner);
        return;
    case IDM_UNLOAD:
        AskToUnload(owner);
        return;
    }
    if (command >= IDM_FIRST_INTERFACE && command <= IDM_LAST_INTERFACE && interfaceName && interfaceId)
        OpenMonitor(interfaceName->c_str(), interfaceId->c_str());
}
