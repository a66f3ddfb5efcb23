// The Interface(s) page's list thread: request 1 with the bindable
// interfaces, the items sorted into the list view, then the buttons.
#include "core/interface_list.h"
#include "prefs/interface_lines.h"
#include "prefs/interfaces_page.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"

static DWORD WINAPI InterfaceListThread(void*)
{
    InterfaceListPageRecord& state = InterfacesPageState;
    DisableInterfaceButtons(state.page);
    RefillInterfaceList(state, SelectBindable, ReaderInterfacesPage, IDS_NO_INTERFACES, MessageImage);
    EndInterfaceListThread(state, CommandBusy);

    UpdateInterfaceButtons(state.page, -1);
    HWND statistics = StatisticsWindow;
    if (statistics)
        SendMessageW(statistics, WM_AGENT_REFRESH, 0, 0);
    return 0;
}

bool StartInterfaceListThread()
{
    return StartInterfaceListThread(InterfacesPageState, InterfaceListThread);
}
