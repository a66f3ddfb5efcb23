// Requests 2, 3 and 4 of the service: the query blocks the statistics window
// sends and the walk over their replies. Nothing here trusts a size in a
// reply: every fixed part, name and counters block is checked against the
// reply's own size first.
#pragma once

#include <cstdint>
#include <vector>

#include "core/text16.h"

const uint32_t TrafficCounterCount = 22;
const uint32_t TrafficCountersSize = TrafficCounterCount * 8;

struct TrafficCounters {
    uint64_t value[TrafficCounterCount];  // 0..10 received, 11..21 sent
};

// Byte sums as the window shows them; hardware headers are counted unless
// the option to leave them out is in use.
uint64_t ReceivedBytes(const TrafficCounters& counters, bool withoutHardwareHeaders);
uint64_t SentBytes(const TrafficCounters& counters, bool withoutHardwareHeaders);
uint64_t ReceivedPackets(const TrafficCounters& counters);
uint64_t SentPackets(const TrafficCounters& counters);

// Request 2.
const uint32_t InterfaceStatisticsSize = 216;

struct InterfaceStatistics {
    uint64_t created;       // FILETIME, UTC
    uint64_t lastCleared;   // FILETIME, UTC
    uint64_t summaryTime;   // ticks
    uint64_t lastModified;  // FILETIME, UTC
    uint64_t numberOfConnections;
    TrafficCounters counters;
};

// False for a reply shorter than the 216 bytes of the record.
bool DecodeInterfaceStatistics(const uint8_t* reply, uint32_t size, InterfaceStatistics* statistics);

// The overall fields a tick has to write: those whose shown value differs
// from the last reply's, or all of them without one (was == nullptr).
enum OverallField : uint32_t {
    OverallCreated = 1,
    OverallLastCleared = 2,
    OverallLastModified = 4,
    OverallSummary = 8,
    OverallConnections = 16,
    OverallSent = 32,
    OverallReceived = 64,
    OverallAll = 127,
};
uint32_t ChangedOverallFields(const InterfaceStatistics& now, const InterfaceStatistics* was,
                              bool withoutHardwareHeaders);

// Input of requests 2 and 3: the name's byte size, then the name with its NUL.
std::vector<uint8_t> BuildNamedInterfaceQuery(const Text16& interfaceName);

// Request 4.
enum ConnectionQueryFlags : uint32_t {
    QueryListForm = 0xF7F,
    QueryStatisticsForm = 0x51F,
    QueryGroupEntry = 0x280,
    QueryClearGroup = 0x1000,
    QueryClearConnection = 0x2000,
    QueryClearAllCurrent = 0xC000,
};

const uint32_t ConnectionQueryHeaderSize = 32;
const uint32_t ConnectionReplyHeaderSize = 13;
const uint32_t GroupFixedSize = 67;
const uint32_t ConnectionFixedSize = 55;
const uint32_t AggregateGroupId = 0xFFFFFFFF;

// What the window last read for a combo entry, from its group or
// connection record.
struct EntryStatistics {
    uint64_t summaryTime;
    uint32_t linkSpeed;    // units of 100 bit/s
    uint64_t receiveRate;  // bit/s, a u32 on the wire
    uint64_t sendRate;
    uint8_t connected;
    uint8_t statusUnknown;
    uint8_t removalPending;
    uint64_t removalTime;  // ticks
    TrafficCounters counters;
    uint8_t isAggregate;
    uint32_t aggregateCount;
};

// One item of the connection combo.
struct ConnectionEntry {
    bool isGroup;
    Text16 name;
    uint32_t groupIdA;
    uint32_t groupIdB;
    uint32_t connectionId;  // connections only
    EntryStatistics statistics;
};

// Which clear, if any, rides on the next statistics query.
enum PendingCurrentClear { ClearNone, ClearThisEntry, ClearAllCurrent };

std::vector<uint8_t> BuildConnectionListQuery(const Text16& interfaceName);
std::vector<uint8_t> BuildConnectionStatisticsQuery(const Text16& interfaceName, const ConnectionEntry& entry,
                                                    PendingCurrentClear clear);

// The list form: entries in combo order, which is the reply's order reversed
// (every group below its own connections). Nameless groups are passed over
// with their connections, nameless connections alone. False when the reply
// is shorter than its header or ends inside a record; entries then holds
// nothing.
bool DecodeConnectionList(const uint8_t* reply, uint32_t size, std::vector<ConnectionEntry>* entries);

// The statistics form: finds the entry's record and copies its values into
// entry->statistics. False when the reply carries no counters, has no
// groups, lacks the entry, or ends before the entry's record is whole.
bool ReadEntryStatistics(const uint8_t* reply, uint32_t size, ConnectionEntry* entry);
