#include "prefs/interface_list_page.h"

#include "core/unload_deadline.h"
#include "platform/thread_wait.h"
#include "prefs/interface_lines.h"
#include "tray/preferences_frame.h"

void InitInterfaceListPage(InterfaceListPageRecord& state, HWND page, int listId)
{
    state.page = page;
    state.list = GetDlgItem(page, listId);
    PlacePage(page);
    state.images = AttachInterfaceImages(state.list);
    InsertFittedColumn(state.list);
    state.items = nullptr;
    state.count = 0;
    state.thread = nullptr;
}

bool StartInterfaceListThread(InterfaceListPageRecord& state, LPTHREAD_START_ROUTINE routine)
{
    // The previous thread has cleared the marker, which is all the page
    // still needs of it.
    if (state.thread)
        CloseHandle(state.thread);
    state.thread = nullptr;
    // A command that a quit ended at an unload lists nothing more.
    if (UnloadBegun()) {
        state.busy = nullptr;
        return false;
    }
    // Made suspended so the handle is the marker before the thread can
    // reach its end and clear it.
    state.thread = CreateThread(nullptr, 0, routine, nullptr, CREATE_SUSPENDED, nullptr);
    if (!state.thread) {
        state.busy = nullptr;
        return false;
    }
    state.busy = state.thread;
    ResumeThread(state.thread);
    return true;
}

void RefillInterfaceList(InterfaceListPageRecord& state, InterfaceSelector selector, InterfaceListReader reader,
                         unsigned emptyId, int emptyImage)
{
    HWND list = state.list;
    wchar_t* remembered = CopySelectedName(list, state.items, state.count);

    FreeInterfaceItems(state.items, state.count);
    state.items = nullptr;
    state.count = 0;
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    ShowWaitingLine(list);
    Sleep(300);

    ServiceReply reply;
    ServiceStatus status = RequestInterfaceList(selector, &reply);
    SendMessageW(list, LVM_DELETEITEM, 0, 0);
    state.items = FillInterfaceList(list, reader, status, reply, emptyId, emptyImage, remembered, &state.count);

    ReleaseReply(&reply);
    FitInterfaceColumn(list);
    delete[] remembered;
}

void EndInterfaceListThread(InterfaceListPageRecord& state)
{
    state.busy = nullptr;
}

void CloseInterfaceListPage(InterfaceListPageRecord& state)
{
    if (state.thread) {
        WaitForThreadAnswering(state.thread, UnloadTimeLeft());
        CloseHandle(state.thread);
        state.thread = nullptr;
    }
    // A list thread still running owns the items; the process is ending.
    if (!state.busy) {
        FreeInterfaceItems(state.items, state.count);
        state.items = nullptr;
        state.count = 0;
    }
    if (state.images)
        ImageList_Destroy(state.images);
    state.images = nullptr;
    state.page = nullptr;
}
