#include "core/interface_refresh.h"

#include <new>
#include <vector>

#include "core/interface_list.h"
#include "core/statistics_link.h"
#include "monitor/monitor_list.h"
#include "monitor/monitor_threads.h"
#include "monitor/monitor_settings_store.h"
#include "prefs/agent_options.h"

HANDLE RefreshStopEvent;
HANDLE RefreshThread;
HANDLE ViewPublishedEvent;
HANDLE StatusChangedEvent;
HANDLE MonitorOptionsAppliedEvent;
volatile bool FirstRefresh;

namespace {
struct RefreshNode {
    InterfaceEntry entry;
    bool connected;
    MonitorSettings settings;
};
}  // namespace

// Between busy answers the refresh waits on its stop event, so that a
// service that stays busy cannot hold up the agent's shutdown.
static bool PauseUnlessStopped(void* stopEvent)
{
    return WaitForSingleObject(static_cast<HANDLE>(stopEvent), 200) == WAIT_TIMEOUT;
}

static void ListInterfaces(HANDLE stop, std::vector<RefreshNode>* nodes)
{
    ServiceReply reply;
    uint32_t selector = SelectMonitored;
    ServiceStatus status =
        RequestServiceUntilNotBusy(RequestListInterfaces, &selector, sizeof selector, &reply, PauseUnlessStopped, stop);
    std::vector<InterfaceEntry> entries;
    DecodeInterfaceList(ReaderInterfaceRefresh, status, reply.data, reply.size, &entries);
    ReleaseReply(&reply);
    // A node that cannot be allocated is left out.
    for (InterfaceEntry& entry : entries) {
        try {
            nodes->push_back(RefreshNode{std::move(entry), false, MonitorSettings{}});
        } catch (const std::bad_alloc&) {
        }
    }
}

// An interface the view does not carry counts as not connected.
static void ReadConnectedStates(std::vector<RefreshNode>* nodes)
{
    for (RefreshNode& node : *nodes) {
        InterfaceCountersView counters;
        node.connected = ReadInterfaceCounters(node.entry.name, &counters) && counters.connected != 0;
    }
}

// Only interfaces that already have stored settings are touched: the load
// creates no key, but completes one that exists.
static void LoadMonitorOptions(std::vector<RefreshNode>* nodes)
{
    for (RefreshNode& node : *nodes) {
        // Names that cannot be copied leave the node's options off.
        try {
            node.settings.interfaceName = node.entry.name;
            node.settings.interfaceId = node.entry.id;
        } catch (const std::bad_alloc&) {
            continue;
        }
        LoadMonitorSettings(&node.settings, false);
    }
}

// Hiding keeps the monitor with its threads and history; it can come back.
static bool HidesWhenDisconnected(MonitorRecord* record, void*)
{
    return record->hideWhenDisconnected;
}

static void HideMonitorsWhenDisconnected()
{
    ShowPickedMonitors(HidesWhenDisconnected, nullptr, SW_HIDE);
}

static bool IsNamed(MonitorRecord* record, void* name)
{
    return SameInterfaceName(record->interfaceName, static_cast<const Char16*>(name));
}

static void HideMonitorNamed(const Text16& name)
{
    ShowPickedMonitors(IsNamed, const_cast<Char16*>(name.c_str()), SW_HIDE);
}

static void PopUpOrHideMonitors(const std::vector<RefreshNode>& nodes)
{
    const bool popUpAllowed = !StartupOptions.SetDisableState && (!FirstRefresh || StartupOptions.ShowMonitorWindows);
    for (const RefreshNode& node : nodes) {
        if (node.connected) {
            if (node.settings.flags[PopupWhenConnected] && popUpAllowed)
                OpenMonitor(node.entry.name.c_str(), node.entry.id.c_str());
        } else if (node.settings.flags[HideWhenDisconnected]) {
            HideMonitorNamed(node.entry.name);
        }
    }
}

static bool IsListed(const std::vector<RefreshNode>& nodes, const Char16* name)
{
    for (const RefreshNode& node : nodes)
        if (SameInterfaceName(node.entry.name.c_str(), name))
            return true;
    return false;
}

// A monitor whose interface has gone from the list goes out of sight
// whatever its own options say.
static bool IsUnlisted(MonitorRecord* record, void* nodes)
{
    return !IsListed(*static_cast<const std::vector<RefreshNode>*>(nodes), record->interfaceName);
}

static void HideUnlistedMonitors(const std::vector<RefreshNode>& nodes)
{
    ShowPickedMonitors(IsUnlisted, const_cast<std::vector<RefreshNode>*>(&nodes), SW_HIDE);
}

static void RefreshInterfaces(HANDLE stop)
{
    std::vector<RefreshNode> nodes;
    ListInterfaces(stop, &nodes);
    if (nodes.empty()) {
        HideMonitorsWhenDisconnected();
    } else {
        ReadConnectedStates(&nodes);
        LoadMonitorOptions(&nodes);
        PopUpOrHideMonitors(nodes);
        HideUnlistedMonitors(nodes);
    }
    FirstRefresh = false;
}

static bool SleepUnlessStopped(HANDLE stop, DWORD ms)
{
    return WaitForSingleObject(stop, ms) == WAIT_TIMEOUT;
}

static DWORD WINAPI InterfaceRefreshThread(void* stopEvent)
{
    HANDLE stop = static_cast<HANDLE>(stopEvent);
    if (!SleepUnlessStopped(stop, 500))
        return 0;
    RefreshInterfaces(stop);
    for (;;) {
        HANDLE waits[4] = {stop, ViewPublishedEvent, StatusChangedEvent, MonitorOptionsAppliedEvent};
        DWORD woke = WaitForMultipleObjects(4, waits, FALSE, INFINITE);
        DWORD settle;
        if (woke == WAIT_OBJECT_0)
            return 0;
        else if (woke == WAIT_OBJECT_0 + 1)
            settle = 2000;
        else if (woke == WAIT_OBJECT_0 + 2)
            settle = 500;
        else if (woke == WAIT_OBJECT_0 + 3)
            settle = 0;
        else
            continue;
        if (settle && !SleepUnlessStopped(stop, settle))
            return 0;
        RefreshInterfaces(stop);
    }
}

static void ClearRefreshHandles()
{
    RefreshStopEvent = RefreshThread = ViewPublishedEvent = StatusChangedEvent = MonitorOptionsAppliedEvent = nullptr;
}

bool StartInterfaceRefresh()
{
    ClearRefreshHandles();
    FirstRefresh = true;
    RefreshStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (RefreshStopEvent)
        ViewPublishedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ViewPublishedEvent)
        StatusChangedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (StatusChangedEvent)
        MonitorOptionsAppliedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (MonitorOptionsAppliedEvent)
        RefreshThread = CreateThread(nullptr, 0, InterfaceRefreshThread, RefreshStopEvent, 0, nullptr);
    if (!RefreshThread) {
        StopInterfaceRefresh();
        return false;
    }
    return true;
}

static void CloseIfOpen(HANDLE handle)
{
    if (handle)
        CloseHandle(handle);
}

void StopInterfaceRefresh()
{
    if (RefreshStopEvent) {
        SetEvent(RefreshStopEvent);
        if (RefreshThread) {
            WaitForSingleObject(RefreshThread, INFINITE);
            CloseHandle(RefreshThread);
        }
        CloseHandle(RefreshStopEvent);
    }
    // The watchers may still pulse these until they are stopped after us,
    // so they are cleared before they are closed.
    HANDLE events[3] = {ViewPublishedEvent, StatusChangedEvent, MonitorOptionsAppliedEvent};
    ClearRefreshHandles();
    for (HANDLE event : events)
        CloseIfOpen(event);
}
