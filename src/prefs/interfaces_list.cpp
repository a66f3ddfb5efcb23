// The Interface(s) page's list thread: request 1 with the bindable
// interfaces, the items sorted into the list view, then the buttons.
#include <cwchar>
#include <new>
#include <vector>

#include "core/interface_list.h"
#include "platform/message_box.h"
#include "prefs/interfaces_page.h"
#include "resources/resource_ids.h"
#include "stats/statistics_window.h"

const LPARAM WaitingLineData = 0xABCD1111;
const int WaitingImage = 9;
const int MessageImage = 10;

static void InsertLine(HWND list, int line, const wchar_t* text, int image, LPARAM data)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = line;
    item.pszText = const_cast<wchar_t*>(text);
    item.iImage = image;
    item.lParam = data;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

static void FitColumn(HWND list)
{
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
}

static void ShowMessageLine(HWND list, unsigned id)
{
    wchar_t text[256];
    LoadAgentString(id, text, 256);
    InsertLine(list, 0, text, MessageImage, 0);
}

static wchar_t* CopyName(const wchar_t* name)
{
    size_t length = wcslen(name);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy)
        wmemcpy(copy, name, length + 1);
    return copy;
}

// The items in sorted order; the remembered line, or the first, selected.
static void ShowItems(HWND list, const wchar_t* remembered)
{
    InterfacesPageRecord& state = InterfacesPageState;
    SortInterfaceItems(state.items, state.count);
    int selected = 0;
    bool found = false;
    for (size_t at = 0; at < state.count; ++at) {
        InterfaceListItem& item = state.items[at];
        InsertLine(list, static_cast<int>(at), item.Name, InterfaceIconIndex(item.Flags), reinterpret_cast<LPARAM>(&item));
        if (!found && remembered && SameInterfaceName(item.Name, remembered)) {
            selected = static_cast<int>(at);
            found = true;
        }
    }
    LVITEMW selection = {};
    selection.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selection.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, selected);
}

// Fills the list from the reply; a failure leaves one message line.
static void FillFromReply(HWND list, ServiceStatus status, const ServiceReply& reply, const wchar_t* remembered)
{
    InterfacesPageRecord& state = InterfacesPageState;
    std::vector<InterfaceEntry> entries;
    InterfaceListOutcome outcome =
        DecodeInterfaceList(ReaderInterfacesPage, status, reply.data, reply.size, &entries);
    if (outcome != ListHasRecords || entries.empty()) {
        ShowMessageLine(list, InterfaceListMessageId(outcome));
        return;
    }
    size_t copied = 0;
    state.items = CopyInterfaceItems(entries.data(), entries.size(), &copied);
    if (!state.items) {
        ShowMessageLine(list, IDS_OUT_OF_MEMORY);
        return;
    }
    state.count = copied;
    if (copied == 0) {
        ShowMessageLine(list, IDS_NO_INTERFACES);
        return;
    }
    ShowItems(list, remembered);
}

static DWORD WINAPI InterfaceListThread(void*)
{
    InterfacesPageRecord& state = InterfacesPageState;
    HWND page = state.page;
    HWND list = state.list;
    wchar_t* remembered = nullptr;
    int mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    if (InterfaceListItem* item = ItemOfLine(mark))
        remembered = CopyName(item->Name);

    FreeInterfaceItems(state.items, state.count);
    state.items = nullptr;
    state.count = 0;
    DisableInterfaceButtons(page);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    wchar_t waiting[256];
    LoadAgentString(IDS_GETTING_INTERFACES, waiting, 256);
    InsertLine(list, 0, waiting, WaitingImage, WaitingLineData);
    FitColumn(list);
    Sleep(300);

    ServiceReply reply;
    ServiceStatus status = RequestInterfaceList(SelectBindable, &reply);
    SendMessageW(list, LVM_DELETEITEM, 0, 0);
    FillFromReply(list, status, reply, remembered);

    ReleaseReply(&reply);
    FitColumn(list);
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
