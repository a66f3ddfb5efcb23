#include "core/interface_list.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "core/wire_read.h"

// Strings in the reply need not be aligned, so they are only handed out
// where they are; copies are made character by character.
static size_t StringLength(const uint8_t* field, uint32_t fieldSize)
{
    size_t chars = fieldSize / 2;
    size_t n = 0;
    while (n < chars && (field[2 * n] | field[2 * n + 1]) != 0)
        ++n;
    return n;
}

bool WalkInterfaceRecords(const uint8_t* reply, uint32_t size, InterfaceRecordVisitor visit, void* context)
{
    if (size < InterfaceListHeaderSize)
        return false;
    uint32_t count = ReadU32(reply + 4);
    uint64_t offset = InterfaceListHeaderSize;
    for (uint32_t i = 0; i < count; ++i) {
        if (!FitsIn(size, offset, InterfaceRecordHeaderSize))
            return false;
        const uint8_t* record = reply + offset;
        uint32_t recordSize = ReadU32(record);
        // A record must at least hold its own header, or the walk never ends.
        if (recordSize < InterfaceRecordHeaderSize || !FitsIn(size, offset, recordSize))
            return false;

        InterfaceRecordView view;
        view.flags = ReadU32(record + 4);
        view.nameSize = ReadU32(record + 8);
        view.part2Size = ReadU32(record + 12);
        view.part3Size = ReadU32(record + 16);
        view.idSize = ReadU32(record + 20);

        uint64_t nameAt = InterfaceRecordHeaderSize;
        uint64_t idAt = nameAt + view.nameSize + uint64_t(view.part2Size) + view.part3Size;
        bool fieldsFit = FitsIn(recordSize, nameAt, view.nameSize) && FitsIn(recordSize, idAt, view.idSize);
        if (fieldsFit) {
            view.name = view.nameSize ? reinterpret_cast<const Char16*>(record + nameAt) : nullptr;
            view.nameLength = StringLength(record + nameAt, view.nameSize);
            view.id = view.idSize ? reinterpret_cast<const Char16*>(record + idAt) : nullptr;
            view.idLength = view.idSize ? StringLength(record + idAt, view.idSize) : 0;
            visit(view, context);
        }
        // A record whose fields overrun it is left out; its size still
        // says where the next one starts.
        offset += recordSize;
    }
    return true;
}

InterfaceListOutcome CheckInterfaceListReply(ServiceStatus status, const uint8_t* reply, uint32_t size)
{
    if (status == StatusNotStarted)
        return ListNotStarted;
    if (status == StatusWrongVersion)
        return ListWrongVersion;
    if (status != StatusSuccess)
        return ListServiceError;
    if (reply == nullptr || size < InterfaceListHeaderSize)
        return ListWrongVersion;
    if (size <= InterfaceListEmptyLimit || ReadU32(reply + 4) == 0)
        return ListEmpty;
    return ListHasRecords;
}

bool ReaderKeepsRecord(InterfaceListReader reader, const InterfaceRecordView& record)
{
    if (record.nameSize == 0)
        return false;
    switch (reader) {
    case ReaderInterfaceRefresh:
        return record.part3Size != 0;
    case ReaderMonitorsPage:
        return record.idSize != 0;
    default:
        return true;
    }
}

static Text16 CopyString(const Char16* unaligned, size_t length)
{
    Text16 text(length, Char16(0));
    if (length)
        std::memcpy(&text[0], unaligned, length * sizeof(Char16));
    return text;
}

namespace {
struct DecodeContext {
    InterfaceListReader reader;
    std::vector<InterfaceEntry>* entries;
    bool tableFailed;
};
}  // namespace

static void KeepRecord(const InterfaceRecordView& record, void* context)
{
    DecodeContext* decode = static_cast<DecodeContext*>(context);
    if (decode->tableFailed || !ReaderKeepsRecord(decode->reader, record))
        return;
    InterfaceEntry entry;
    entry.flags = record.flags;
    try {
        entry.name = CopyString(record.name, record.nameLength);
        if (record.id)
            entry.id = CopyString(record.id, record.idLength);
    } catch (const std::bad_alloc&) {
        return;  // a record whose copy cannot be made is dropped
    }
    try {
        decode->entries->push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        decode->tableFailed = true;
    }
}

InterfaceListOutcome DecodeInterfaceList(InterfaceListReader reader, ServiceStatus status, const uint8_t* reply,
                                         uint32_t size, std::vector<InterfaceEntry>* entries)
{
    InterfaceListOutcome outcome = CheckInterfaceListReply(status, reply, size);
    if (outcome != ListHasRecords)
        return outcome;
    DecodeContext context = {reader, entries, false};
    // The table for Count records, as the readers allocate it; no more can
    // be kept than there are record headers in the reply.
    const uint32_t count = ReadU32(reply + 4);
    const uint32_t fit = (size - InterfaceListHeaderSize) / InterfaceRecordHeaderSize;
    try {
        entries->reserve(entries->size() + (count < fit ? count : fit));
    } catch (const std::exception&) {
        context.tableFailed = true;
    }
    // A walk cut short keeps what it found: the records before the damage
    // are still good.
    if (!context.tableFailed)
        WalkInterfaceRecords(reply, size, KeepRecord, &context);
    if (context.tableFailed) {
        entries->clear();
        return ListOutOfMemory;
    }
    return outcome;
}

int InterfaceIconIndex(uint32_t flags)
{
    if (flags & IfNotPresent)
        return 6;
    if (!(flags & IfSupported))
        return (flags & IfConnected) ? 1 : 7;
    bool active = (flags & IfBindingActive) != 0;
    if (flags & IfConnected)
        return (flags & IfBound) ? (active ? 4 : 11) : 2;
    return (flags & IfBound) ? (active ? 5 : 12) : 3;
}

ServiceStatus RequestInterfaceList(InterfaceSelector selector, ServiceReply* reply)
{
    uint32_t input = selector;
    return RequestService(RequestListInterfaces, &input, sizeof input, reply);
}
