#include <windows.h>
#include <commctrl.h>

#include <new>
#include <vector>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "core/unload_deadline.h"
#include "monitor/monitor_settings_store.h"
#include "monitor/monitor_window.h"
#include "platform/thread_wait.h"
#include "prefs/interface_lines.h"
#include "prefs/monitors_page_state.h"
#include "resources/resource_ids.h"

namespace {

void SelectRow(HWND list, int row)
{
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, WPARAM(row), LPARAM(&state));
}

// Copies the kept records into a new array whose keys exist in the registry
// afterwards; 0 with the string to show when there is nothing to list.
UINT BuildPageRecords(std::vector<InterfaceEntry>& entries, PageRecordsRecord* built)
{
    *built = {};
    MonitorSettings* records = new (std::nothrow) MonitorSettings[entries.size()]();
    if (!records)
        return IDS_OUT_OF_MEMORY;
    size_t count = 0;
    // The decoder made the copies (dropping a record whose copy failed);
    // they move into the records without allocating again.
    for (InterfaceEntry& entry : entries) {
        MonitorSettings& record = records[count];
        record.interfaceName = std::move(entry.name);
        record.interfaceId = std::move(entry.id);
        record.ownerWord = entry.flags;
        record.next = nullptr;
        LoadMonitorSettings(&record, true);
        count++;
    }
    if (count == 0) {
        delete[] records;
        return IDS_NO_BOUND_ADAPTERS;
    }
    built->records = records;
    built->count = count;
    return 0;
}

bool SameIdAsAny(const Text16& id, const std::vector<Text16>& ids)
{
    for (const Text16& other : ids)
        if (SameInterfaceName(id, other))
            return true;
    return false;
}

// Each selection reaches the page as a list notification, which builds the
// new selection on the page's own thread.
void RestoreSelection(HWND list, const std::vector<Text16>& oldIds)
{
    const PageRecordsRecord records = PageRecords;
    bool selected = false;
    if (PreselectName[0]) {
        for (size_t i = 0; i < records.count && !selected; i++) {
            if (SameInterfaceName(records.records[i].interfaceId.c_str(), PreselectName)) {
                SelectRow(list, int(i));
                SendMessageW(list, LVM_ENSUREVISIBLE, WPARAM(i), FALSE);
                selected = true;
            }
        }
        PreselectName[0] = 0;
    }
    if (selected)
        return;
    // Row 0 is selected even when it is the message row;
    // that row carries no record, so the page ignores its selection.
    for (size_t i = 0; i < records.count; i++) {
        if (SameIdAsAny(records.records[i].interfaceId, oldIds)) {
            SelectRow(list, int(i));
            selected = true;
        }
    }
    if (!selected)
        SelectRow(list, 0);
}

DWORD WINAPI RefreshInterfaceChoice(void* parameter)
{
    HWND page = static_cast<HWND>(parameter);
    HWND list = GetDlgItem(page, IDC_MON_INTERFACES);
    DisableMonitorsPage(page, true);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    ShowWaitingLine(list);
    Sleep(300);

    PageRecordsRecord old = PageRecords;
    PageRecords = {};
    std::vector<Text16> oldIds;
    // An identifier that cannot be copied is not looked for again.
    for (const MonitorSettings* record = MonitorSelection.chain; record; record = record->next) {
        try {
            oldIds.push_back(record->interfaceId);
        } catch (const std::bad_alloc&) {
            break;
        }
    }
    ClearSelection(&MonitorSelection);

    ServiceReply reply;
    ClearReply(&reply);
    ServiceStatus status = RequestInterfaceList(SelectMonitorable, &reply);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    std::vector<InterfaceEntry> entries;
    InterfaceListOutcome outcome = DecodeInterfaceList(ReaderMonitorsPage, status, reply.data, reply.size, &entries);
    UINT failure = outcome == ListHasRecords ? 0 : InterfaceListMessageId(outcome, IDS_NO_BOUND_ADAPTERS);
    PageRecordsRecord built = {};
    if (!failure)
        failure = BuildPageRecords(entries, &built);
    if (failure) {
        ShowMessageLine(list, failure, MessageImage);
    } else {
        PageRecords = built;
        for (size_t i = 0; i < built.count; i++) {
            const MonitorSettings& record = built.records[i];
            InsertInterfaceLine(list, int(i), record.interfaceName.c_str(), InterfaceIconIndex(record.ownerWord),
                                LPARAM(&built.records[i]));
        }
    }
    ReleaseReply(&reply);
    FitInterfaceColumn(list);
    PageBusy = nullptr;

    RestoreSelection(list, oldIds);
    delete[] old.records;
    return 0;
}

}  // namespace

// The last refresh thread: the page's to join and close.
static HANDLE RefreshThread;

// Made suspended so that the thread finds its own handle in the busy
// marker, which it clears when it is done with the page's records.
bool StartInterfaceChoiceRefresh(HWND page)
{
    if (RefreshThread)
        CloseHandle(RefreshThread);
    RefreshThread = nullptr;
    if (UnloadBegun()) {
        PageBusy = nullptr;
        return false;
    }
    RefreshThread = CreateThread(nullptr, 0, RefreshInterfaceChoice, page, CREATE_SUSPENDED, nullptr);
    if (!RefreshThread) {
        PageBusy = nullptr;
        return false;
    }
    PageBusy = RefreshThread;
    ResumeThread(RefreshThread);
    return true;
}

void JoinInterfaceChoiceRefresh()
{
    if (!RefreshThread)
        return;
    WaitForThreadAnswering(RefreshThread, UnloadTimeLeft());
    CloseHandle(RefreshThread);
    RefreshThread = nullptr;
}
