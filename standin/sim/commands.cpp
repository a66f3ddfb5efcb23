#include "commands.h"

#include <algorithm>

#include "connection_replies.h"

#include "faults.h"
#include "interface_options.h"
#include "ledger.h"
#include "request_handlers_data_files.h"
#include "request_handlers_settings.h"
#include "request_handlers_bind.h"
#include "service_objects.h"
#include "shared_mappings.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

typedef bool (*CommandHandler)(const std::vector<std::string>& words, std::string& out);

bool NeedArgs(const std::vector<std::string>& words, size_t count, const char* usage, std::string& out)
{
    if (words.size() >= count)
        return true;
    out = std::string("usage: ") + usage;
    return false;
}

void SignalFlagChange(uint32_t before, uint32_t after)
{
    if ((before ^ after) & IfConnected)
        SignalNetStatusChanged();
    if ((before ^ after) & ~IfConnected)
        SignalNetConfChanged();
}

bool Ping(const std::vector<std::string>&, std::string& out)
{
    out = "ok";
    return true;
}

bool Quit(const std::vector<std::string>&, std::string& out)
{
    Sim.quitRequested = true;
    out = "ok";
    return true;
}

bool ShowLedger(const std::vector<std::string>&, std::string& out)
{
    out = LedgerLine();
    return true;
}

bool Count(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() < 2) {
        out = std::to_string(Sim.requestTotal);
        return true;
    }
    uint32_t code = 0;
    if (!ParseU32(words[1], code)) {
        out = "bad request code";
        return false;
    }
    auto found = Sim.requestCounts.find(code);
    out = std::to_string(found == Sim.requestCounts.end() ? 0 : found->second);
    return true;
}

bool ResetCounts(const std::vector<std::string>&, std::string& out)
{
    ResetLedgerAndCounts();
    out = "ok";
    return true;
}

bool AddInterface(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 2, "add-interface <key> [option=value...]", out))
        return false;
    SimInterface item;
    item.key = words[1];
    SetInterfaceDefaults(item, Sim.interfaces.size());
    if (!ApplyInterfaceOptions(item, words, 2, out))
        return false;
    SimInterface* existing = FindInterface(item.key);
    if (existing != nullptr)
        *existing = item;
    else
        Sim.interfaces.push_back(item);
    SignalNetConfChanged();
    if (item.flags & IfConnected)
        SignalNetStatusChanged();
    out = "ok";
    return true;
}

bool SetInterface(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 3, "set-interface <key> option=value...", out))
        return false;
    SimInterface* existing = FindInterface(words[1]);
    if (existing == nullptr) {
        out = "no interface '" + words[1] + "'";
        return false;
    }
    // Work on a copy so a bad option leaves the interface as it was.
    SimInterface item = *existing;
    if (!ApplyInterfaceOptions(item, words, 2, out))
        return false;
    bool renamed = item.name != existing->name || item.id != existing->id;
    bool speedChanged = item.linkSpeed != existing->linkSpeed;
    uint32_t before = existing->flags;
    if ((item.flags & IfConnected) && !(before & IfConnected))
        ++item.connectionCount;
    *existing = item;
    SignalFlagChange(before, item.flags);
    if (renamed)
        SignalNetConfChanged();
    if (speedChanged)
        SignalNetStatusChanged();
    out = "ok";
    return true;
}

bool RemoveInterface(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 2, "remove-interface <key>", out))
        return false;
    for (size_t at = 0; at < Sim.interfaces.size(); ++at)
        if (Sim.interfaces[at].key == words[1]) {
            Sim.interfaces.erase(Sim.interfaces.begin() + at);
            SignalNetConfChanged();
            out = "ok";
            return true;
        }
    out = "no interface '" + words[1] + "'";
    return false;
}

bool StoreRecord(std::vector<SimRecord>& records, const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 2, "group|connection <key> [field=value...]", out))
        return false;
    SimRecord record;
    record.key = words[1];
    for (size_t at = 2; at < words.size(); ++at) {
        std::string key, value;
        if (!SplitOption(words[at], key, value)) {
            out = "expected field=value, got '" + words[at] + "'";
            return false;
        }
        record.fields[key] = value;
    }
    for (SimRecord& existing : records)
        if (existing.key == record.key) {
            existing = record;
            out = "ok";
            return true;
        }
    records.push_back(record);
    out = "ok";
    return true;
}

bool AddGroup(const std::vector<std::string>& words, std::string& out)
{
    return StoreRecord(Sim.groups, words, out);
}

bool AddConnection(const std::vector<std::string>& words, std::string& out)
{
    return StoreRecord(Sim.connections, words, out);
}

bool AddFault(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 2, "fault <kind> [option=value...]", out))
        return false;
    SimFault fault;
    if (!ParseFault(std::vector<std::string>(words.begin() + 1, words.end()), fault, out))
        return false;
    Sim.faults.push_back(fault);
    out = "ok";
    return true;
}

bool ClearFault(const std::vector<std::string>& words, std::string& out)
{
    int dropped = ClearFaults(words.size() >= 2 ? words[1] : "all");
    if (dropped < 0) {
        out = "unknown fault kind";
        return false;
    }
    out = std::to_string(dropped);
    return true;
}

bool StopServiceCommand(const std::vector<std::string>& words, std::string& out)
{
    uint32_t forSeconds = 0;
    for (size_t at = 1; at < words.size(); ++at) {
        std::string key, value;
        if (!SplitOption(words[at], key, value) || key != "for" || !ParseU32(value, forSeconds)) {
            out = "usage: stop-service [for=<seconds>]";
            return false;
        }
    }
    StopSimService(forSeconds);
    out = "ok";
    return true;
}

bool StartServiceCommand(const std::vector<std::string>&, std::string& out)
{
    StartSimService();
    out = "ok";
    return true;
}

bool Signal(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 2, "signal status|conf", out))
        return false;
    if (words[1] == "status")
        SignalNetStatusChanged();
    else if (words[1] == "conf")
        SignalNetConfChanged();
    else {
        out = "usage: signal status|conf";
        return false;
    }
    out = "ok";
    return true;
}

bool FirstWord(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 2, "first-word <number>", out))
        return false;
    if (!ParseU32(words[1], Sim.firstWord)) {
        out = "bad number";
        return false;
    }
    out = "ok";
    return true;
}

bool At(const std::vector<std::string>& words, std::string& out)
{
    if (!NeedArgs(words, 3, "at <second> <command...>", out))
        return false;
    TimedEvent event;
    if (!ParseU32(words[1], event.second)) {
        out = "bad second";
        return false;
    }
    event.args.assign(words.begin() + 2, words.end());
    if (event.args[0] == "at" || event.args[0] == "quit") {
        out = "not allowed after at: " + event.args[0];
        return false;
    }
    Sim.events.push_back(event);
    std::stable_sort(Sim.events.begin(), Sim.events.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.second < b.second; });
    out = "ok";
    return true;
}

// A case that keeps a page's unsaved edits for a while wants none of the
// scenario's later changes; marked done rather than erased, as the clock may
// be walking the list.
bool DropTimed(const std::vector<std::string>&, std::string& out)
{
    int dropped = 0;
    for (TimedEvent& event : Sim.events) {
        if (event.done)
            continue;
        event.done = true;
        ++dropped;
    }
    out = std::to_string(dropped);
    return true;
}

bool Time(const std::vector<std::string>&, std::string& out)
{
    out = std::to_string(Sim.elapsed);
    return true;
}

bool Show(const std::vector<std::string>&, std::string& out)
{
    out = std::string("service=") + (Sim.serviceRunning ? "running" : "stopped") +
        " second=" + std::to_string(Sim.elapsed) + " init-calls=" + std::to_string(Sim.initCalls) +
        " uninit-calls=" + std::to_string(Sim.uninitCalls) + "\n";
    for (const SimInterface& item : Sim.interfaces)
        out += "interface " + DescribeInterface(item) + "\n";
    for (const SimFault& fault : Sim.faults)
        out += "fault " + DescribeFault(fault) + "\n";
    for (const SimRecord& group : Sim.groups)
        out += "group " + group.key + "\n";
    for (const SimRecord& connection : Sim.connections)
        out += "connection " + connection.key + "\n";
    for (const TimedEvent& event : Sim.events)
        if (!event.done)
            out += "at " + std::to_string(event.second) + " " + event.args[0] + "\n";
    out += "mapping " + DescribeSharedMappings() + "\n";
    out += LedgerLine();
    return true;
}

bool Mapping(const std::vector<std::string>& words, std::string& out)
{
    const char* usage =
        "usage: mapping "
        "directory-invalid|directory-valid|view-invalid|view-valid|view-identity|remove-entry|restore-entry"
        "|view-size <bytes>|count <n>|real";
    if (!NeedArgs(words, 2, usage, out))
        return false;
    const std::string& what = words[1];
    uint32_t number = 0;
    bool done;
    if (what == "directory-invalid" || what == "directory-valid")
        done = SetMappingFault(MappingFault::DirectoryInvalid, what == "directory-invalid", out);
    else if (what == "view-invalid" || what == "view-valid")
        done = SetMappingFault(MappingFault::ViewInvalid, what == "view-invalid", out);
    else if (what == "remove-entry" || what == "restore-entry")
        done = SetMappingFault(MappingFault::EntryRemoved, what == "remove-entry", out);
    else if (what == "view-identity")
        done = ChangeViewIdentity(out);
    else if (what == "real")
        done = SetAnnouncedViewSize(0, out) && SetViewCount(false, 0, out);
    else if ((what == "view-size" || what == "count") && words.size() == 3 && ParseU32(words[2], number))
        done = what == "count" ? SetViewCount(true, number, out) : SetAnnouncedViewSize(number, out);
    else {
        out = usage;
        return false;
    }
    if (done)
        out = "ok";
    return done;
}

bool AbandonMutex(const std::vector<std::string>&, std::string& out)
{
    if (!AbandonServerMutex(out))
        return false;
    out = "ok";
    return true;
}

bool Mutex(const std::vector<std::string>&, std::string& out)
{
    out = DescribeServerMutex();
    return true;
}

struct CommandEntry {
    const char* name;
    CommandHandler handler;
};

const CommandEntry Commands[] = {
    {"ping", Ping},
    {"quit", Quit},
    {"ledger", ShowLedger},
    {"count", Count},
    {"reset-counts", ResetCounts},
    {"add-interface", AddInterface},
    {"interface", AddInterface},
    {"set-interface", SetInterface},
    {"remove-interface", RemoveInterface},
    {"group", AddGroup},
    {"connection", AddConnection},
    {"fault", AddFault},
    {"clear-fault", ClearFault},
    {"stop-service", StopServiceCommand},
    {"start-service", StartServiceCommand},
    {"signal", Signal},
    {"first-word", FirstWord},
    {"at", At},
    {"drop-timed", DropTimed},
    {"time", Time},
    {"show", Show},
    {"mapping", Mapping},
    {"abandon-mutex", AbandonMutex},
    {"mutex", Mutex},
    {"overall", SetOverallStatistics},
    {"requests", ShowStatisticsRequests},
    {"data-settings", DataSettingsCommand},
    {"disconnected-requests", DisconnectedRequestsCommand},
    {"bind-requests", BindRequestsCommand},
    {"request-delay", RequestDelayCommand},
    {"data-files", DataFilesCommand},
};

}  // namespace

bool RunCommand(const std::vector<std::string>& words, std::string& out)
{
    out.clear();
    if (words.empty()) {
        out = "empty command";
        return false;
    }
    for (const CommandEntry& entry : Commands)
        if (words[0] == entry.name)
            return entry.handler(words, out);
    out = "unknown command '" + words[0] + "'";
    return false;
}

void StopSimService(uint32_t forSeconds)
{
    Sim.serviceRunning = false;
    Sim.restartAt = forSeconds != 0 ? Sim.elapsed + forSeconds : 0;
    StopServiceObjects();
}

void StartSimService()
{
    Sim.serviceRunning = true;
    Sim.restartAt = 0;
    if (Sim.live)
        StartServiceObjects();
}
