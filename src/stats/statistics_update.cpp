// The data side of the statistics window: requests 1 to 4, the two combos
// and the value fields. Runs on the worker with the state mutex held.
#include <cstdio>
#include <new>

#include "core/interface_list.h"
#include "core/interface_list_message.h"
#include "core/service_channel.h"
#include "platform/message_box.h"
#include "prefs/agent_options.h"
#include "resources/resource_ids.h"
#include "stats/statistics_state.h"
#include "stats/statistics_text.h"
#include "stats/status_text.h"

static bool PauseWhileBusy(void*)
{
    // A closing window stops the repeats at once.
    return WaitForSingleObject(StatisticsWindowState.stopEvent, 200) != WAIT_OBJECT_0;
}

static void ShowComboText(HWND window, int combo, const wchar_t* text)
{
    SendDlgItemMessageW(window, combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(window, combo, CB_SETCURSEL, 0, 0);
}

static void ShowComboString(HWND window, int combo, UINT id)
{
    wchar_t text[256];
    if (LoadAgentString(id, text, 256))
        ShowComboText(window, combo, text);
}

static Text16 ComboItemText(HWND window, int combo, int index)
{
    LRESULT length = SendDlgItemMessageW(window, combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return Text16();
    std::vector<wchar_t> text(size_t(length) + 1, L'\0');
    SendDlgItemMessageW(window, combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return Text16(text.data());
}

void RefreshInterfaceList(HWND window)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    ResetAllFields(window);
    s.savedReplyValid = false;
    uint32_t selector = SelectMonitored;
    ServiceReply reply;
    ClearReply(&reply);
    ServiceStatus status =
        RequestServiceUntilNotBusy(RequestListInterfaces, &selector, sizeof selector, &reply, PauseWhileBusy, nullptr);
    std::vector<InterfaceEntry> interfaces;
    InterfaceListOutcome outcome;
    try {
        outcome = DecodeInterfaceList(ReaderStatisticsWindow, status, reply.data, reply.size, &interfaces);
    } catch (const std::bad_alloc&) {
        ReleaseReply(&reply);  // the worker counts the update as failed
        throw;
    }
    ReleaseReply(&reply);
    if (outcome != ListHasRecords) {
        ShowComboString(window, IDC_STATS_INTERFACE_COMBO, InterfaceListMessageId(outcome, IDS_NO_BOUND_ADAPTERS));
        SetDlgItemTextW(window, IDC_STATS_CREATED, L"");
        s.interfaceValid = false;
        s.connectionValid = false;
        return;
    }
    int selected = -1;
    for (const InterfaceEntry& entry : interfaces) {
        LRESULT at = SendDlgItemMessageW(window, IDC_STATS_INTERFACE_COMBO, CB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(entry.name.c_str()));
        if (selected < 0 && at >= 0 && s.hasInterfaceName && SameInterfaceName(entry.name, s.interfaceName))
            selected = int(at);
    }
    if (selected >= 0) {
        SendDlgItemMessageW(window, IDC_STATS_INTERFACE_COMBO, CB_SETCURSEL, selected, 0);
    } else {
        // The chosen interface is gone: the first one takes its place.
        s.interfaceName = ComboItemText(window, IDC_STATS_INTERFACE_COMBO, 0);
        s.hasInterfaceName = true;
        SendDlgItemMessageW(window, IDC_STATS_INTERFACE_COMBO, CB_SETCURSEL, 0, 0);
    }
    s.interfaceValid = true;
    RefreshConnectionList(window);
}

static bool RequestConnectionList(std::vector<ConnectionEntry>* entries, ServiceStatus* status)
{
    std::vector<uint8_t> query = BuildConnectionListQuery(StatisticsWindowState.interfaceName);
    ServiceReply reply;
    ClearReply(&reply);
    *status = RequestServiceUntilNotBusy(RequestConnections, query.data(), uint32_t(query.size()), &reply,
                                         PauseWhileBusy, nullptr);
    bool good = false;
    try {
        good = *status == StatusSuccess && DecodeConnectionList(reply.data, reply.size, entries);
    } catch (const std::bad_alloc&) {
        ReleaseReply(&reply);  // the worker counts the update as failed
        throw;
    }
    ReleaseReply(&reply);
    return good;
}

bool RefreshConnectionList(HWND window)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    s.connectionValid = false;
    if (!s.hasInterfaceName || !s.interfaceValid)
        return false;
    s.entries.clear();
    s.currentEntry = -1;
    ServiceStatus status;
    bool good = RequestConnectionList(&s.entries, &status);
    if (status != StatusSuccess)
        SetDlgItemTextW(window, IDC_STATS_CURRENT_SUMMARY, L"");
    if (good && !s.entries.empty()) {
        SendDlgItemMessageW(window, IDC_STATS_CONNECTION_COMBO, CB_RESETCONTENT, 0, 0);
        for (size_t at = 0; at < s.entries.size(); ++at) {
            const ConnectionEntry& entry = s.entries[at];
            SendDlgItemMessageW(window, IDC_STATS_CONNECTION_COMBO, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(entry.name.c_str()));
            if (s.currentEntry < 0 && s.hasConnectionName && SameInterfaceName(entry.name, s.connectionName)) {
                s.currentEntry = int(at);
                SendDlgItemMessageW(window, IDC_STATS_CONNECTION_COMBO, CB_SETCURSEL, at, 0);
            }
        }
        if (s.currentEntry < 0) {
            s.connectionName = s.entries[0].name;
            s.hasConnectionName = true;
            s.currentEntry = 0;
            SendDlgItemMessageW(window, IDC_STATS_CONNECTION_COMBO, CB_SETCURSEL, 0, 0);
        }
        s.connectionValid = true;
    } else {
        ShowComboString(window, IDC_STATS_CONNECTION_COMBO, IDS_NO_CONNECTION);
    }
    return good;
}

static void SendClearOverall()
{
    std::vector<uint8_t> query = BuildNamedInterfaceQuery(StatisticsWindowState.interfaceName);
    // The service reports nothing worth showing; the next tick shows the result.
    RequestService(RequestClearStatistics, query.data(), uint32_t(query.size()), nullptr);
}

static bool QueryConnection(ConnectionEntry* entry)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if (InterlockedCompareExchange(&s.statusChangeCount, 0, 0) != 0)
        InterlockedDecrement(&s.statusChangeCount);
    if (!s.hasInterfaceName || entry == nullptr)
        return false;
    PendingCurrentClear clear = !s.clearCurrentPending ? ClearNone
        : s.clearAllCurrent                            ? ClearAllCurrent
                                                       : ClearThisEntry;
    std::vector<uint8_t> query = BuildConnectionStatisticsQuery(s.interfaceName, *entry, clear);
    ServiceReply reply;
    ClearReply(&reply);
    ServiceStatus status = RequestService(RequestConnections, query.data(), uint32_t(query.size()), &reply);
    bool good = false;
    if (status == StatusSuccess) {
        // Sent is sent: a clear is not repeated because the reply is unusable.
        s.clearCurrentPending = false;
        s.clearAllCurrent = false;
        good = ReadEntryStatistics(reply.data, reply.size, entry);
    }
    ReleaseReply(&reply);
    return good;
}

static void WriteCount(HWND window, int field, uint64_t value)
{
    Char16 text[CountTextCapacity];
    FormatCount(value, text);
    SetDlgItemTextW(window, field, text);
}

static void WriteBytesPackets(HWND window, int field, uint64_t bytes, uint64_t packets)
{
    Char16 text[FieldTextCapacity];
    FormatBytesPackets(bytes, packets, text, FieldTextCapacity);
    SetDlgItemTextW(window, field, text);
}

static void WriteDate(HWND window, int field, uint64_t utc)
{
    FILETIME in = {DWORD(utc), DWORD(utc >> 32)};
    FILETIME local;
    if (!FileTimeToLocalFileTime(&in, &local))
        return;
    Char16 text[FieldTextCapacity];
    uint64_t value = uint64_t(local.dwHighDateTime) << 32 | local.dwLowDateTime;
    if (FormatFileTime(value, text, FieldTextCapacity, StatisticsWindowState.hideMs))
        SetDlgItemTextW(window, field, text);
}

static void WriteDuration(HWND window, int field, uint64_t ticks)
{
    Char16 text[FieldTextCapacity];
    FormatTickDuration(ticks, text, StatisticsWindowState.hideMs);
    SetDlgItemTextW(window, field, text);
}

static void WriteOverallFields(HWND window, const InterfaceStatistics& now)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    const bool noHeaders = s.noHardwareHeaders;
    const uint32_t fields = ChangedOverallFields(now, s.savedReplyValid ? &s.savedReply : nullptr, noHeaders);
    if (fields & OverallCreated)
        WriteDate(window, IDC_STATS_CREATED, now.created);
    if (fields & OverallLastCleared)
        WriteDate(window, IDC_STATS_LAST_CLEARED, now.lastCleared);
    if (fields & OverallLastModified)
        WriteDate(window, IDC_STATS_LAST_MODIFIED, now.lastModified);
    if (fields & OverallSummary)
        WriteDuration(window, IDC_STATS_OVERALL_SUMMARY, now.summaryTime);
    if (fields & OverallConnections)
        WriteCount(window, IDC_STATS_CONNECTION_COUNT, now.numberOfConnections);
    if (fields & OverallSent)
        WriteBytesPackets(window, IDC_STATS_OVERALL_SENT, SentBytes(now.counters, noHeaders),
                          SentPackets(now.counters));
    if (fields & OverallReceived)
        WriteBytesPackets(window, IDC_STATS_OVERALL_RECEIVED, ReceivedBytes(now.counters, noHeaders),
                          ReceivedPackets(now.counters));
}

static void WriteCurrentFields(HWND window, const ConnectionEntry& entry)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    const EntryStatistics& e = entry.statistics;
    WriteDuration(window, IDC_STATS_CURRENT_SUMMARY, e.summaryTime);
    WriteBytesPackets(window, IDC_STATS_CURRENT_SENT, SentBytes(e.counters, s.noHardwareHeaders),
                      SentPackets(e.counters));
    WriteBytesPackets(window, IDC_STATS_CURRENT_RECEIVED, ReceivedBytes(e.counters, s.noHardwareHeaders),
                      ReceivedPackets(e.counters));
    Char16 link[FieldTextCapacity], average[FieldTextCapacity];
    // The link speed follows the option itself, the averages its in-use copy.
    FormatStatusText(link, average, e, StatisticWindowOptions.SpeedInBytesPerSecond, s.averageInBytes);
    SetDlgItemTextW(window, IDC_STATS_LINK_SPEED, link);
    SetDlgItemTextW(window, IDC_STATS_AVERAGE_SPEED, average);
}

void UpdateStatisticsFields(HWND window, bool listsRefreshed)
{
    StatisticsWindowStateRecord& s = StatisticsWindowState;
    if (!s.hasInterfaceName || !s.interfaceValid)
        return;
    if (s.clearOverallPending) {
        SendClearOverall();
        s.clearOverallPending = false;
    }
    std::vector<uint8_t> query = BuildNamedInterfaceQuery(s.interfaceName);
    ServiceReply reply;
    ClearReply(&reply);
    ServiceStatus status = RequestService(RequestInterfaceStatistics, query.data(), uint32_t(query.size()), &reply);
    InterfaceStatistics now;
    // A short reply is a failed tick like any error: the fields stay.
    if (status == StatusSuccess && DecodeInterfaceStatistics(reply.data, reply.size, &now)) {
        WriteOverallFields(window, now);
        s.savedReply = now;
        s.savedReplyValid = true;
    }
    ReleaseReply(&reply);
    if (status != StatusSuccess)
        return;

    ConnectionEntry* entry = s.currentEntry >= 0 ? &s.entries[size_t(s.currentEntry)] : nullptr;
    if (QueryConnection(entry)) {
        WriteCurrentFields(window, *entry);
    } else if (listsRefreshed && entry != nullptr) {
        wchar_t text[256];
        if (LoadAgentString(IDS_GETTING_DATA, text, 256))
            SetDlgItemTextW(window, IDC_STATS_CURRENT_SUMMARY, text);
    }
}
