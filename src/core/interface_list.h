// The service's interface list (request 1): the selectors, the state bits,
// the walk over its records and the state icon of an interface.
#pragma once

#include <cstdint>
#include <vector>

#include "core/service_channel.h"
#include "core/text16.h"

enum InterfaceSelector : uint32_t {
    SelectBindable = 1,     // Interface(s) page
    SelectMonitorable = 8,  // Monitor(s) page
    SelectNotPresent = 16,  // Movements page
    SelectMonitored = 44,   // interface list refresh, tray menu, statistics window
};

enum InterfaceFlags : uint32_t {
    IfSupported = 0x01,
    IfConnected = 0x02,
    IfBound = 0x04,
    IfNotPresent = 0x08,
    IfBindingActive = 0x10,
};

const uint32_t InterfaceListHeaderSize = 8;
const uint32_t InterfaceRecordHeaderSize = 24;
// A reply up to this size carries no interface, whatever its Count says.
const uint32_t InterfaceListEmptyLimit = 32;

// One record as it stands in the reply; the pointers point into the reply.
struct InterfaceRecordView {
    uint32_t flags;
    uint32_t nameSize, part2Size, part3Size, idSize;
    const Char16* name;  // null when NameSize is 0
    size_t nameLength;   // characters before the NUL (or the end of its field)
    const Char16* id;    // null when IdSize is 0
    size_t idLength;
};

// Calls visit for each record in reply order. Returns false when the walk
// had to stop early because a record does not fit the reply.
typedef void (*InterfaceRecordVisitor)(const InterfaceRecordView& record, void* context);
bool WalkInterfaceRecords(const uint8_t* reply, uint32_t size, InterfaceRecordVisitor visit, void* context);

// What a reader makes of a reply before it looks at the records.
enum InterfaceListOutcome {
    ListHasRecords,
    ListEmpty,         // string 10, 71 or 119 depending on the reader
    ListNotStarted,    // string 7
    ListWrongVersion,  // string 9
    ListServiceError,  // string 8
    ListOutOfMemory,   // string 72: the table of copies cannot be allocated
};

InterfaceListOutcome CheckInterfaceListReply(ServiceStatus status, const uint8_t* reply, uint32_t size);

// The readers of the list and which records each keeps.
enum InterfaceListReader {
    ReaderTrayMenu,
    ReaderInterfaceRefresh,
    ReaderStatisticsWindow,
    ReaderInterfacesPage,
    ReaderMonitorsPage,
    ReaderMovementsPage,
};

bool ReaderKeepsRecord(InterfaceListReader reader, const InterfaceRecordView& record);

// A kept record copied out of the reply, so the reply can be released.
struct InterfaceEntry {
    uint32_t flags;
    Text16 name;
    Text16 id;  // empty when the record has none
};

// Check, walk and copy in one go. Entries are appended in reply order. No
// exception leaves it: a record whose copies cannot be allocated
// is dropped, and when the table for the reply's records cannot be
// allocated the outcome is ListOutOfMemory with no entries.
InterfaceListOutcome DecodeInterfaceList(InterfaceListReader reader, ServiceStatus status, const uint8_t* reply,
                                         uint32_t size, std::vector<InterfaceEntry>* entries);

// Image index in the 16x16 state strip (bitmap 144).
int InterfaceIconIndex(uint32_t flags);

// Request 1 with the given selector; the reply must go to ReleaseReply.
ServiceStatus RequestInterfaceList(InterfaceSelector selector, ServiceReply* reply);
