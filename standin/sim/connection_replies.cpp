#include "connection_replies.h"

#include <windows.h>

#include <cstdio>
#include <map>

#include "../common/wire.h"
#include "sim_state.h"
#include "text_util.h"

namespace {

constexpr uint64_t TicksPerSecond = 10000000ull;
constexpr uint32_t AggregateId = 0xFFFFFFFFu;
constexpr uint32_t ClearGroup = 0x1000, ClearConnection = 0x2000, ClearAll = 0xC000;
constexpr uint32_t GroupQuery = 0x280;
constexpr size_t LogLimit = 64;

struct Overall {
    uint64_t created = 132000000000000000ull;
    uint64_t lastCleared = 132500000000000000ull;
    uint64_t lastModified = 133000000000000000ull;
    uint64_t summarySeconds = 0;
    uint64_t connections = 0;
    uint64_t rxHeaders = 0;
    uint64_t txHeaders = 0;
};

std::map<std::string, Overall> Overalls;  // by interface key
std::vector<std::string> RequestLog;

void Log(const std::string& entry)
{
    if (RequestLog.size() >= LogLimit)
        RequestLog.erase(RequestLog.begin());
    RequestLog.push_back(entry);
}

void Append64(std::vector<uint8_t>& out, uint64_t value)
{
    wire::Append32(out, static_cast<uint32_t>(value));
    wire::Append32(out, static_cast<uint32_t>(value >> 32));
}

void AppendName(std::vector<uint8_t>& out, const std::wstring& name)
{
    for (wchar_t c : name) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(c) >> 8));
    }
    out.push_back(0);
    out.push_back(0);
}

// The byte sum is spread over the three counters the agent adds up, so a
// reader that takes only one of them shows a wrong figure.
void AppendCounters(std::vector<uint8_t>& out, uint64_t rxBytes, uint64_t txBytes, uint64_t rxPackets,
                    uint64_t txPackets, uint64_t rxHeaders, uint64_t txHeaders)
{
    uint64_t c[22] = {};
    c[1] = rxPackets;
    c[3] = rxBytes / 2;
    c[4] = rxBytes / 4;
    c[7] = rxBytes - c[3] - c[4];
    c[9] = rxHeaders;
    c[12] = txPackets;
    c[14] = txBytes / 2;
    c[15] = txBytes / 4;
    c[18] = txBytes - c[14] - c[15];
    c[20] = txHeaders;
    // Counters the agent does not read carry noise.
    for (int unread : {0, 2, 5, 6, 8, 10, 11, 13, 16, 17, 19, 21})
        c[unread] = 0x5A5A0000u + unread;
    for (uint64_t value : c)
        Append64(out, value);
}

bool AsciiSame(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t at = 0; at < a.size(); ++at) {
        wchar_t x = a[at], y = b[at];
        if (x >= L'a' && x <= L'z')
            x = static_cast<wchar_t>(x - 32);
        if (y >= L'a' && y <= L'z')
            y = static_cast<wchar_t>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

std::wstring NameAt(const uint8_t* at, uint32_t bytes)
{
    std::wstring name;
    for (uint32_t n = 0; n + 1 < bytes; n += 2) {
        wchar_t c = static_cast<wchar_t>(at[n] | at[n + 1] << 8);
        if (c == 0)
            break;
        name.push_back(c);
    }
    return name;
}

SimInterface* FindByName(const std::wstring& name)
{
    for (SimInterface& item : Sim.interfaces)
        if ((item.flags & IfNotPresent) == 0 && AsciiSame(item.name, name))
            return &item;
    return nullptr;
}

// The interface named by a NamedInterfaceQuery, or null.
SimInterface* NamedInterface(const uint8_t* input, uint32_t size)
{
    if (size < 4)
        return nullptr;
    uint32_t bytes = wire::Get32(input);
    if (bytes > size - 4)
        return nullptr;
    return FindByName(NameAt(input + 4, bytes));
}

std::string Field(const SimRecord& record, const char* key, const char* fallback = "")
{
    auto found = record.fields.find(key);
    return found == record.fields.end() ? fallback : found->second;
}

uint64_t Number(const SimRecord& record, const char* key, uint64_t fallback = 0)
{
    uint64_t value = fallback;
    auto found = record.fields.find(key);
    if (found != record.fields.end() && !ParseU64(found->second, value))
        value = fallback;
    return value;
}

uint64_t FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

struct GroupPlace {
    SimRecord* group;
    uint32_t idA, idB;
    std::vector<SimRecord*> connections;
};

std::vector<GroupPlace> GroupsOf(const SimInterface& item)
{
    std::vector<GroupPlace> places;
    for (SimRecord& group : Sim.groups) {
        if (Field(group, "interface") != item.key)
            continue;
        GroupPlace place{&group, static_cast<uint32_t>(places.size() + 1), 0, {}};
        place.idB =
            Number(group, "aggregate") ? AggregateId : static_cast<uint32_t>(Number(group, "id", 0x100 + place.idA));
        for (SimRecord& connection : Sim.connections)
            if (Field(connection, "interface") == item.key && Field(connection, "group") == group.key)
                place.connections.push_back(&connection);
        places.push_back(place);
    }
    return places;
}

uint32_t ConnectionIdOf(const SimRecord& connection, size_t index)
{
    return static_cast<uint32_t>(Number(connection, "id", 1000 + index));
}

// The values both record kinds share: summary time, state, speeds.
struct Values {
    uint64_t summary;
    uint8_t connected, unknown, removal;
    uint32_t speed, rx, tx;
    uint64_t removalTime;
};

Values ValuesOf(const SimRecord& record)
{
    Values v;
    v.summary = Number(record, "summary") * TicksPerSecond + Number(record, "summary-ms") * 10000;
    v.connected = static_cast<uint8_t>(Number(record, "connected", 1));
    v.unknown = static_cast<uint8_t>(Number(record, "status-unknown"));
    v.speed = static_cast<uint32_t>(Number(record, "speed", 1000000));
    v.rx = static_cast<uint32_t>(Number(record, "rx-rate"));
    v.tx = static_cast<uint32_t>(Number(record, "tx-rate"));
    v.removal = record.fields.count("removal") ? 1 : 0;
    v.removalTime = Number(record, "removal") * TicksPerSecond;
    return v;
}

void AppendRecordCounters(std::vector<uint8_t>& out, const SimRecord& record)
{
    AppendCounters(out, Number(record, "rx-bytes"), Number(record, "tx-bytes"), Number(record, "rx-packets"),
                   Number(record, "tx-packets"), Number(record, "rx-headers"), Number(record, "tx-headers"));
}

void AppendGroup(std::vector<uint8_t>& out, const GroupPlace& place)
{
    const SimRecord& group = *place.group;
    std::wstring name = Utf8ToWide(Field(group, "name", group.key.c_str()));
    Values v = ValuesOf(group);
    const uint32_t sizeA = 4, sizeB = 2;
    uint32_t nameBytes = static_cast<uint32_t>((name.size() + 1) * 2);
    size_t start = out.size();
    wire::Append32(out, 0);  // RecordSize, filled in below
    wire::Append32(out, sizeA);
    wire::Append32(out, sizeB);
    wire::Append32(out, nameBytes);
    wire::Append32(out, place.idA);
    wire::Append32(out, place.idB);
    Append64(out, 0);
    Append64(out, v.summary);
    out.push_back(v.connected);
    out.push_back(v.unknown);
    wire::Append32(out, v.speed);
    wire::Append32(out, v.rx);
    wire::Append32(out, v.tx);
    wire::Append32(out, static_cast<uint32_t>(place.connections.size()));
    out.push_back(v.removal);
    Append64(out, v.removalTime);
    wire::Append32(out, 0xA1A2A3A4u);  // opaque parts
    out.push_back(0xB1);
    out.push_back(0xB2);
    AppendName(out, name);
    AppendRecordCounters(out, group);
    for (size_t at = 0; at < place.connections.size(); ++at) {
        const SimRecord& connection = *place.connections[at];
        std::wstring connectionName = Utf8ToWide(Field(connection, "name", connection.key.c_str()));
        Values c = ValuesOf(connection);
        Append64(out, Number(connection, "start"));
        wire::Append32(out, ConnectionIdOf(connection, at));
        Append64(out, 0);
        Append64(out, c.summary);
        out.push_back(c.connected);
        out.push_back(c.unknown);
        wire::Append32(out, c.speed);
        wire::Append32(out, c.rx);
        wire::Append32(out, c.tx);
        out.push_back(c.removal);
        Append64(out, c.removalTime);
        wire::Append32(out, static_cast<uint32_t>((connectionName.size() + 1) * 2));
        AppendName(out, connectionName);
        AppendRecordCounters(out, connection);
    }
    wire::Put32(out.data() + start, static_cast<uint32_t>(out.size() - start));
}

void ZeroCounters(SimRecord& record)
{
    for (const char* key : {"rx-bytes", "tx-bytes", "rx-packets", "tx-packets", "rx-headers", "tx-headers"})
        record.fields[key] = "0";
}

// The clear bits of a statistics query, applied before the reply is built
// so the reply already shows the cleared values.
void ApplyCurrentClear(uint32_t flags, uint32_t idA, uint32_t idB, uint32_t connectionId,
                       std::vector<GroupPlace>& places)
{
    for (GroupPlace& place : places) {
        bool ours = place.idA == idA && place.idB == idB;
        if (flags & ClearAll) {
            ZeroCounters(*place.group);
            for (SimRecord* connection : place.connections)
                ZeroCounters(*connection);
        } else if ((flags & ClearGroup) && ours) {
            ZeroCounters(*place.group);
        } else if ((flags & ClearConnection) && ours) {
            for (size_t at = 0; at < place.connections.size(); ++at)
                if (ConnectionIdOf(*place.connections[at], at) == connectionId)
                    ZeroCounters(*place.connections[at]);
        }
    }
}

}  // namespace

uint32_t AnswerInterfaceStatistics(const uint8_t* input, uint32_t size, std::vector<uint8_t>& reply)
{
    SimInterface* item = NamedInterface(input, size);
    if (item == nullptr)
        return StatusFailure;
    const Overall& o = Overalls[item->key];
    reply.clear();
    Append64(reply, o.created);
    Append64(reply, o.lastCleared);
    Append64(reply, (o.summarySeconds + Sim.elapsed) * TicksPerSecond);
    Append64(reply, o.lastModified);
    Append64(reply, o.connections);
    AppendCounters(reply, item->rxBytes, item->txBytes, item->rxPackets, item->txPackets, o.rxHeaders, o.txHeaders);
    return StatusSuccess;
}

uint32_t AnswerClearStatistics(const uint8_t* input, uint32_t size, std::vector<uint8_t>& reply)
{
    Log("3");
    SimInterface* item = NamedInterface(input, size);
    if (item == nullptr)
        return StatusFailure;
    item->rxBytes = item->txBytes = item->rxPackets = item->txPackets = 0;
    Overall& o = Overalls[item->key];
    o.rxHeaders = o.txHeaders = 0;
    o.summarySeconds = 0;
    o.connections = 0;
    o.lastCleared = o.lastModified = FileTimeNow();
    reply.clear();
    return StatusSuccess;
}

bool QueryClears(const uint8_t* input, uint32_t size)
{
    return size >= 4 && (wire::Get32(input) & (ClearAll | ClearGroup | ClearConnection)) != 0;
}

uint32_t AnswerConnections(const uint8_t* input, uint32_t size, std::vector<uint8_t>& reply)
{
    if (size < 32)
        return StatusFailure;
    uint32_t flags = wire::Get32(input);
    char entry[16];
    std::snprintf(entry, sizeof entry, "4:%x", flags);
    Log(entry);
    uint32_t nameBytes = wire::Get32(input + 12);
    if (nameBytes > size - 32)
        return StatusFailure;
    SimInterface* item = FindByName(NameAt(input + 32, nameBytes));
    if (item == nullptr)
        return StatusFailure;
    std::vector<GroupPlace> places = GroupsOf(*item);
    if (flags & (ClearAll | ClearGroup | ClearConnection))
        ApplyCurrentClear(flags, wire::Get32(input + 4), wire::Get32(input + 8),
                          (flags & GroupQuery) ? 0 : wire::Get32(input + 28), places);
    uint32_t total = 0;
    bool aggregate = false;
    for (const GroupPlace& place : places) {
        total += static_cast<uint32_t>(place.connections.size());
        aggregate = aggregate || place.idB == AggregateId;
    }
    reply.clear();
    reply.push_back(1);  // every name is followed by its counters
    reply.push_back(0);
    reply.push_back(0);
    reply.push_back(0);
    wire::Append32(reply, total);
    wire::Append32(reply, static_cast<uint32_t>(places.size()));
    reply.push_back(aggregate ? 1 : 0);
    for (const GroupPlace& place : places)
        AppendGroup(reply, place);
    return StatusSuccess;
}

bool SetOverallStatistics(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() < 2 || FindInterface(words[1]) == nullptr) {
        out = "usage: overall <interface-key> field=value...";
        return false;
    }
    Overall o = Overalls[words[1]];
    const struct {
        const char* key;
        uint64_t* value;
    } fields[] = {{"created", &o.created},        {"last-cleared", &o.lastCleared}, {"last-modified", &o.lastModified},
                  {"summary", &o.summarySeconds}, {"connections", &o.connections},  {"rx-headers", &o.rxHeaders},
                  {"tx-headers", &o.txHeaders}};
    for (size_t at = 2; at < words.size(); ++at) {
        std::string key, value;
        bool known = false;
        if (SplitOption(words[at], key, value))
            for (const auto& field : fields)
                if (key == field.key)
                    known = ParseU64(value, *field.value);
        if (!known) {
            out = "bad field '" + words[at] + "'";
            return false;
        }
    }
    Overalls[words[1]] = o;
    out = "ok";
    return true;
}

bool ShowStatisticsRequests(const std::vector<std::string>& words, std::string& out)
{
    if (words.size() >= 2 && words[1] == "reset") {
        RequestLog.clear();
        out = "ok";
        return true;
    }
    out.clear();
    for (const std::string& entry : RequestLog)
        out += (out.empty() ? "" : " ") + entry;
    return true;
}
