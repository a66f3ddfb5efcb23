// The Interface(s) page's list thread: request 1 with the bindable
// interfaces, the items sorted into the list view, then the buttons.
#include "core/interface_list.h"
#include "prefs/interface_lines.h"
#include "prefs/interfaces_page.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"

static DWORD WINAPI InterfaceListThread(void*)
{
    InterfacesPageRecord& state = InterfacesPageState;
    HWND page = state.page;
    HWND list = state.list;
    wchar_t* remembered = CopySelectedName(list, state.items, state.count);

    FreeInterfaceItems(state.items, state.count);
    state.items = nullptr;
    state.count = 0;
    DisableInterfaceButtons(page);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    ShowWaitingLine(list);
    Sleep(300);

    ServiceReply reply;
    ServiceStatus status = RequestInterfaceList(SelectBindable, &reply);
    SendMessageW(list, LVM_DELETEITEM, 0, 0);
    state.items = FillInterfaceList(list, ReaderInterfacesPage, status, reply, IDS_NO_INTERFACES, MessageImage,
                                    remembered, &state.count);

    ReleaseReply(&reply);
    FitInterfaceColumn(list);
    HANDLE self = state.busy;
    state.busy = nullptr;
    if (self && self != CommandBusy)
        CloseHandle(self);
    delete[] remembered;

    UpdateInterfaceButtons(page, -1);
    HWND statistics = StatisticsWindow;
    if (statistics)
        SendMessageW(statistics, WM_AGENT_REFRESH, 0, 0);
    return 0;
}

bool StartInterfaceListThread()
{
    InterfacesPageRecord& state = InterfacesPageState;
    // Made suspended so the handle is the marker before the thread can
    // reach its end and close it.
    HANDLE thread = CreateThread(nullptr, 0, InterfaceListThread, nullptr, CREATE_SUSPENDED, nullptr);
    if (!thread) {
        state.busy = nullptr;
        return false;
    }
    state.busy = thread;
    ResumeThread(thread);
    return true;
}
