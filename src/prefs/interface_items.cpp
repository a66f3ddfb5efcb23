#include "prefs/interface_items.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "resources/resource_ids.h"

int CompareInterfaceItems(const InterfaceListItem& a, const InterfaceListItem& b)
{
    bool aSupported = (a.Flags & IfSupported) != 0;
    bool bSupported = (b.Flags & IfSupported) != 0;
    if (aSupported != bSupported)
        return aSupported ? -1 : 1;
    bool aAbsent = (a.Flags & IfNotPresent) != 0;
    bool bAbsent = (b.Flags & IfNotPresent) != 0;
    if (aAbsent != bAbsent)
        return aAbsent ? -1 : 1;
    const Char16* x = a.Name ? a.Name : TEXT16("");
    const Char16* y = b.Name ? b.Name : TEXT16("");
    for (;; ++x, ++y) {
        uint16_t cx = static_cast<uint16_t>(*x);
        uint16_t cy = static_cast<uint16_t>(*y);
        if (cx != cy)
            return cx < cy ? -1 : 1;
        if (cx == 0)
            return 0;
    }
}

void SortInterfaceItems(InterfaceListItem* items, size_t count)
{
    std::sort(items, items + count,
              [](const InterfaceListItem& a, const InterfaceListItem& b) { return CompareInterfaceItems(a, b) < 0; });
}

static Char16* CopyText16(const Text16& text)
{
    Char16* copy = new (std::nothrow) Char16[text.size() + 1];
    if (copy)
        std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(Char16));
    return copy;
}

InterfaceListItem* CopyInterfaceItems(const InterfaceEntry* entries, size_t count, size_t* copied)
{
    *copied = 0;
    InterfaceListItem* items = new (std::nothrow) InterfaceListItem[count ? count : 1];
    if (!items)
        return nullptr;
    for (size_t at = 0; at < count; ++at) {
        const Text16& name = entries[at].name;
        Char16* copy = CopyText16(name);
        if (!copy)
            continue;
        // Without its id copy the item only loses the settings clean-up.
        Char16* id = entries[at].id.empty() ? nullptr : CopyText16(entries[at].id);
        items[*copied] = {entries[at].flags, copy, 0, id};
        ++*copied;
    }
    return items;
}

static Char16* CopyChars(const Char16* text)
{
    return text ? CopyText16(Text16(text)) : nullptr;
}

InterfaceListItem* DuplicateInterfaceItems(const InterfaceListItem* items, size_t count)
{
    InterfaceListItem* copies = new (std::nothrow) InterfaceListItem[count ? count : 1]();
    if (!copies)
        return nullptr;
    bool complete = true;
    try {
        for (size_t at = 0; at < count && complete; ++at) {
            copies[at] = {items[at].Flags, CopyChars(items[at].Name), items[at].Marked,
                          CopyChars(items[at].InterfaceId)};
            complete = copies[at].Name && (copies[at].InterfaceId || !items[at].InterfaceId);
        }
    } catch (const std::bad_alloc&) {
        complete = false;
    }
    if (!complete) {
        FreeInterfaceItems(copies, count);
        return nullptr;
    }
    return copies;
}

void FreeInterfaceItems(InterfaceListItem* items, size_t count)
{
    if (!items)
        return;
    for (size_t at = 0; at < count; ++at) {
        delete[] items[at].Name;
        delete[] items[at].InterfaceId;
    }
    delete[] items;
}

InterfaceButtonStates DecideInterfaceButtons(const InterfaceListItem* items, size_t count,
                                             const InterfaceListItem* given, bool isAdmin)
{
    InterfaceButtonStates states = {false, false, false, false};
    bool anySupported = false, anyBound = false, anyUnbound = false;
    for (size_t at = 0; at < count; ++at) {
        if (!(items[at].Flags & IfSupported))
            continue;
        anySupported = true;
        if (items[at].Flags & IfBound)
            anyBound = true;
        else
            anyUnbound = true;
    }
    if (!isAdmin || !anySupported)
        return states;
    states.bindAll = anyUnbound;
    states.unbindAll = anyBound;
    if (given && (given->Flags & IfSupported)) {
        bool bound = (given->Flags & IfBound) != 0;
        states.bindSelected = !bound;
        states.unbindSelected = bound;
    }
    return states;
}

size_t MarkItemsForBind(InterfaceListItem* items, size_t count, bool bind)
{
    size_t marked = 0;
    for (size_t at = 0; at < count; ++at) {
        uint32_t flags = items[at].Flags;
        bool concerned = (flags & IfSupported) && ((flags & IfBound) != 0) != bind;
        items[at].Marked = concerned ? 1 : 0;
        marked += concerned ? 1 : 0;
    }
    return marked;
}

void PutQueryWord(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
    at[2] = static_cast<uint8_t>(value >> 16);
    at[3] = static_cast<uint8_t>(value >> 24);
}

uint8_t* AllocateNameQuery(uint32_t headerSize, const Char16* name, uint32_t* nameBytes, uint32_t* size)
{
    if (!name)
        name = TEXT16("");
    size_t length = BoundedLength16(name, 0x7FFFFFF);
    *nameBytes = static_cast<uint32_t>((length + 1) * 2);
    *size = headerSize + *nameBytes;
    uint8_t* query = new (std::nothrow) uint8_t[*size];
    if (!query) {
        *size = 0;
        return nullptr;
    }
    for (size_t at = 0; at <= length; ++at) {
        uint16_t c = at < length ? static_cast<uint16_t>(name[at]) : 0;
        query[headerSize + at * 2] = static_cast<uint8_t>(c);
        query[headerSize + at * 2 + 1] = static_cast<uint8_t>(c >> 8);
    }
    return query;
}

uint8_t* BuildBindQuery(bool bind, const Char16* name, uint32_t processId, uint32_t* size)
{
    uint32_t nameBytes = 0;
    uint8_t* query = AllocateNameQuery(BindQueryHeaderSize, name, &nameBytes, size);
    if (!query)
        return nullptr;
    PutQueryWord(query, bind ? 1 : 0);
    PutQueryWord(query + 4, nameBytes);
    PutQueryWord(query + 8, processId);
    return query;
}

BindStepReaction ReactToBindStatus(ServiceStatus status, bool last)
{
    switch (status) {
    case StatusSuccess:
    case StatusDoneWithNotes:
    case StatusDoneNeedsRestart:
    case StatusDoneNothingToDo:
        return {BindStepDone, 0};
    case StatusAccessDenied:
        return {BindStepStop, IDS_ACCESS_DENIED};
    case StatusNotStarted:
        return {BindStepStop, IDS_SERVICE_NOT_STARTED};
    case StatusComponentMissing:
        return {BindStepStop, IDS_COMPONENT_MISSING};
    default:
        return last ? BindStepReaction{BindStepStop, IDS_OPERATION_FAILED}
                    : BindStepReaction{BindStepAskGoOn, IDS_OPERATION_FAILED_GO_ON};
    }
}

BindStepReaction ReactToQueryShortage(bool last)
{
    return last ? BindStepReaction{BindStepStop, IDS_OUT_OF_MEMORY}
                : BindStepReaction{BindStepAskGoOn, IDS_OUT_OF_MEMORY_GO_ON};
}
