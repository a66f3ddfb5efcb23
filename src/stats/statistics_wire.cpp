#include "stats/statistics_wire.h"

#include <algorithm>
#include <cstring>

#include "core/wire_read.h"

uint64_t ReceivedBytes(const TrafficCounters& c, bool withoutHardwareHeaders)
{
    uint64_t bytes = c.value[3] + c.value[4] + c.value[7];
    return withoutHardwareHeaders ? bytes : bytes + c.value[9];
}

uint64_t SentBytes(const TrafficCounters& c, bool withoutHardwareHeaders)
{
    uint64_t bytes = c.value[14] + c.value[15] + c.value[18];
    return withoutHardwareHeaders ? bytes : bytes + c.value[20];
}

uint64_t ReceivedPackets(const TrafficCounters& c)
{
    return c.value[1];
}

uint64_t SentPackets(const TrafficCounters& c)
{
    return c.value[12];
}

static void ReadCounters(const uint8_t* at, TrafficCounters* counters)
{
    for (uint32_t i = 0; i < TrafficCounterCount; ++i)
        counters->value[i] = ReadU64(at + 8 * i);
}

bool DecodeInterfaceStatistics(const uint8_t* reply, uint32_t size, InterfaceStatistics* statistics)
{
    if (reply == nullptr || size < InterfaceStatisticsSize)
        return false;
    statistics->created = ReadU64(reply);
    statistics->lastCleared = ReadU64(reply + 8);
    statistics->summaryTime = ReadU64(reply + 16);
    statistics->lastModified = ReadU64(reply + 24);
    statistics->numberOfConnections = ReadU64(reply + 32);
    ReadCounters(reply + 40, &statistics->counters);
    return true;
}

uint32_t ChangedOverallFields(const InterfaceStatistics& now, const InterfaceStatistics* was,
                              bool withoutHardwareHeaders)
{
    if (was == nullptr)
        return OverallAll;
    const TrafficCounters &n = now.counters, &w = was->counters;
    const bool h = withoutHardwareHeaders;
    uint32_t fields = 0;
    if (now.created != was->created)
        fields |= OverallCreated;
    if (now.lastCleared != was->lastCleared)
        fields |= OverallLastCleared;
    if (now.lastModified != was->lastModified)
        fields |= OverallLastModified;
    if (now.summaryTime != was->summaryTime)
        fields |= OverallSummary;
    if (now.numberOfConnections != was->numberOfConnections)
        fields |= OverallConnections;
    if (SentBytes(n, h) != SentBytes(w, h) || SentPackets(n) != SentPackets(w))
        fields |= OverallSent;
    if (ReceivedBytes(n, h) != ReceivedBytes(w, h) || ReceivedPackets(n) != ReceivedPackets(w))
        fields |= OverallReceived;
    return fields;
}

static void PutU32(std::vector<uint8_t>* block, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*block)[at + i] = uint8_t(value >> (8 * i));
}

static uint32_t NameBytes(const Text16& name)
{
    return uint32_t((name.size() + 1) * sizeof(Char16));
}

static void PutName(std::vector<uint8_t>* block, size_t at, const Text16& name)
{
    for (size_t i = 0; i < name.size(); ++i) {
        (*block)[at + 2 * i] = uint8_t(name[i]);
        (*block)[at + 2 * i + 1] = uint8_t(uint16_t(name[i]) >> 8);
    }
    // The NUL is already there: the block starts zeroed.
}

std::vector<uint8_t> BuildNamedInterfaceQuery(const Text16& interfaceName)
{
    std::vector<uint8_t> query(4 + NameBytes(interfaceName), 0);
    PutU32(&query, 0, NameBytes(interfaceName));
    PutName(&query, 4, interfaceName);
    return query;
}

static std::vector<uint8_t> ConnectionQuery(const Text16& interfaceName, uint32_t flags, uint32_t groupIdA,
                                            uint32_t groupIdB, uint32_t connectionId)
{
    std::vector<uint8_t> query(ConnectionQueryHeaderSize + NameBytes(interfaceName), 0);
    PutU32(&query, 0, flags);
    PutU32(&query, 4, groupIdA);
    PutU32(&query, 8, groupIdB);
    PutU32(&query, 12, NameBytes(interfaceName));
    PutU32(&query, 28, connectionId);
    PutName(&query, ConnectionQueryHeaderSize, interfaceName);
    return query;
}

std::vector<uint8_t> BuildConnectionListQuery(const Text16& interfaceName)
{
    return ConnectionQuery(interfaceName, QueryListForm, 0, 0, 0);
}

std::vector<uint8_t> BuildConnectionStatisticsQuery(const Text16& interfaceName, const ConnectionEntry& entry,
                                                    PendingCurrentClear clear)
{
    uint32_t flags = QueryStatisticsForm;
    if (clear == ClearAllCurrent)
        flags |= QueryClearAllCurrent;
    else if (clear == ClearThisEntry)
        flags |= entry.isGroup ? QueryClearGroup : QueryClearConnection;
    if (entry.isGroup)
        flags += QueryGroupEntry;
    return ConnectionQuery(interfaceName, flags, entry.groupIdA, entry.groupIdB,
                           entry.isGroup ? 0 : entry.connectionId);
}

namespace {

// The values a group record and a connection record share, at their own
// offsets within each fixed part.
struct RecordValues {
    const uint8_t* fixed;
    const uint8_t* name;  // unaligned UTF-16, nameBytes long
    uint32_t nameBytes;
    const uint8_t* counters;  // null when the reply carries none
};

struct ConnectionWalk {
    const uint8_t* reply;
    uint32_t size;
    uint64_t offset;
    bool withCounters;
};

// Claims `length` bytes at the walk's offset; false when they run past the end.
bool Take(ConnectionWalk* walk, uint64_t length, const uint8_t** at)
{
    if (!FitsIn(walk->size, walk->offset, length))
        return false;
    *at = walk->reply + walk->offset;
    walk->offset += length;
    return true;
}

bool TakeNameAndCounters(ConnectionWalk* walk, RecordValues* record)
{
    if (!Take(walk, record->nameBytes, &record->name))
        return false;
    record->counters = nullptr;
    return !walk->withCounters || Take(walk, TrafficCountersSize, &record->counters);
}

bool TakeGroup(ConnectionWalk* walk, RecordValues* group)
{
    if (!Take(walk, GroupFixedSize, &group->fixed))
        return false;
    const uint8_t* opaque;
    uint64_t opaqueSize = uint64_t(ReadU32(group->fixed + 4)) + ReadU32(group->fixed + 8);
    if (!Take(walk, opaqueSize, &opaque))
        return false;
    group->nameBytes = ReadU32(group->fixed + 12);
    return TakeNameAndCounters(walk, group);
}

bool TakeConnection(ConnectionWalk* walk, RecordValues* connection)
{
    if (!Take(walk, ConnectionFixedSize, &connection->fixed))
        return false;
    connection->nameBytes = ReadU32(connection->fixed + 51);
    return TakeNameAndCounters(walk, connection);
}

uint32_t GroupConnectionCount(const RecordValues& group)
{
    return ReadU32(group.fixed + 54);
}

Text16 NameOf(const RecordValues& record)
{
    // Measured first so that a long list makes one allocation per name.
    const size_t chars = record.nameBytes / 2;
    size_t length = 0;
    while (length < chars && (record.name[2 * length] | record.name[2 * length + 1]) != 0)
        ++length;
    Text16 name(length, Char16(0));
    for (size_t i = 0; i < length; ++i)
        name[i] = Char16(record.name[2 * i] | record.name[2 * i + 1] << 8);
    return name;
}

// Group fields from offset 32, connection fields from offset 20: the same
// sequence, with the connection's removal fields one byte earlier.
void ReadValues(const RecordValues& record, bool isGroup, EntryStatistics* statistics)
{
    const uint8_t* p = record.fixed + (isGroup ? 32 : 20);
    statistics->summaryTime = ReadU64(p);
    statistics->connected = p[8];
    statistics->statusUnknown = p[9];
    statistics->linkSpeed = ReadU32(p + 10);
    statistics->receiveRate = ReadU32(p + 14);
    statistics->sendRate = ReadU32(p + 18);
    const uint8_t* removal = record.fixed + (isGroup ? 58 : 42);
    statistics->removalPending = removal[0];
    statistics->removalTime = ReadU64(removal + 1);
    if (record.counters)
        ReadCounters(record.counters, &statistics->counters);
    else
        std::memset(&statistics->counters, 0, sizeof statistics->counters);
}

ConnectionWalk StartWalk(const uint8_t* reply, uint32_t size)
{
    ConnectionWalk walk = {reply, size, ConnectionReplyHeaderSize, (reply[0] & 1) != 0};
    return walk;
}

}  // namespace

bool DecodeConnectionList(const uint8_t* reply, uint32_t size, std::vector<ConnectionEntry>* entries)
{
    entries->clear();
    if (reply == nullptr || size < ConnectionReplyHeaderSize)
        return false;
    ConnectionWalk walk = StartWalk(reply, size);
    uint32_t groupCount = ReadU32(reply + 8);
    // The reply's own total is a hint only; no list holds more records than
    // the reply has room for.
    entries->reserve(std::min<uint64_t>(uint64_t(ReadU32(reply + 4)) + groupCount, size / ConnectionFixedSize));
    for (uint32_t g = 0; g < groupCount; ++g) {
        RecordValues group;
        if (!TakeGroup(&walk, &group)) {
            entries->clear();
            return false;
        }
        Text16 groupName = NameOf(group);
        bool listed = group.nameBytes != 0 && !groupName.empty();
        uint32_t groupIdA = ReadU32(group.fixed + 16);
        uint32_t groupIdB = ReadU32(group.fixed + 20);
        if (listed) {
            ConnectionEntry entry = {};
            entry.isGroup = true;
            entry.name = std::move(groupName);
            entry.groupIdA = groupIdA;
            entry.groupIdB = groupIdB;
            entries->push_back(std::move(entry));
        }
        uint32_t connectionCount = GroupConnectionCount(group);
        for (uint32_t c = 0; c < connectionCount; ++c) {
            RecordValues connection;
            if (!TakeConnection(&walk, &connection)) {
                entries->clear();
                return false;
            }
            if (!listed || connection.nameBytes == 0)
                continue;
            Text16 name = NameOf(connection);
            if (name.empty())
                continue;
            ConnectionEntry entry = {};
            entry.isGroup = false;
            entry.name = std::move(name);
            entry.groupIdA = groupIdA;
            entry.groupIdB = groupIdB;
            entry.connectionId = ReadU32(connection.fixed + 8);
            entries->push_back(std::move(entry));
        }
    }
    std::reverse(entries->begin(), entries->end());
    return true;
}

bool ReadEntryStatistics(const uint8_t* reply, uint32_t size, ConnectionEntry* entry)
{
    if (reply == nullptr || size < ConnectionReplyHeaderSize || !(reply[0] & 1))
        return false;
    uint32_t connectionTotal = ReadU32(reply + 4);
    uint32_t groupCount = ReadU32(reply + 8);
    bool hasAggregate = reply[12] != 0;
    ConnectionWalk walk = StartWalk(reply, size);
    for (uint32_t g = 0; g < groupCount; ++g) {
        RecordValues group;
        if (!TakeGroup(&walk, &group))
            return false;
        bool ours = ReadU32(group.fixed + 16) == entry->groupIdA && ReadU32(group.fixed + 20) == entry->groupIdB;
        uint32_t connectionCount = GroupConnectionCount(group);
        if (ours && entry->isGroup) {
            ReadValues(group, true, &entry->statistics);
            bool aggregate = hasAggregate && entry->groupIdB == AggregateGroupId;
            entry->statistics.isAggregate = aggregate ? 1 : 0;
            entry->statistics.aggregateCount = aggregate ? connectionTotal : 0;
            return true;
        }
        for (uint32_t c = 0; c < connectionCount; ++c) {
            RecordValues connection;
            if (!TakeConnection(&walk, &connection))
                return false;
            if (ours && ReadU32(connection.fixed + 8) == entry->connectionId) {
                ReadValues(connection, false, &entry->statistics);
                entry->statistics.isAggregate = 0;
                entry->statistics.aggregateCount = 0;
                return true;
            }
        }
        // The first group with the entry's ids is the one; a connection
        // missing from it is missing.
        if (ours)
            return false;
    }
    return false;
}
