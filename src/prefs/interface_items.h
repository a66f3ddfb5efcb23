// The items of the Interface(s) and Movements pages' lists: what each
// holds, their order, which bind and unbind buttons they allow, and how the
// bind worker reacts to each answer of the service. Nothing here touches a
// window.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/interface_list.h"
#include "core/service_status.h"
#include "core/text16.h"

struct InterfaceListItem {
    uint32_t Flags;  // the record's InterfaceFlags
    Char16* Name;    // heap copy, NUL-terminated; freed by FreeInterfaceItems
    uint8_t Marked;  // set by the bind worker for the items it will process
    // Heap copy of the record's InterfaceId, null when it has none; the key
    // of the interface's monitor settings.
    Char16* InterfaceId;
};

// Supported before unsupported, then not present before present, then by
// Name code unit by code unit (so "A" comes before "a"). Negative, zero or
// positive like a three-way comparison.
int CompareInterfaceItems(const InterfaceListItem& a, const InterfaceListItem& b);
void SortInterfaceItems(InterfaceListItem* items, size_t count);

// The array as a whole, with a Name copy per entry (and an InterfaceId copy
// when the entry has one); an entry whose name cannot be copied is left out.
// Null when the array itself cannot be had.
InterfaceListItem* CopyInterfaceItems(const InterfaceEntry* entries, size_t count, size_t* copied);
void FreeInterfaceItems(InterfaceListItem* items, size_t count);
// A whole copy for a worker that may outlive the page's list; null when
// any part of it cannot be had.
InterfaceListItem* DuplicateInterfaceItems(const InterfaceListItem* items, size_t count);

struct InterfaceButtonStates {
    bool bindSelected;
    bool unbindSelected;
    bool bindAll;
    bool unbindAll;
};

// `given` is the item of the line the decision is for, or null.
InterfaceButtonStates DecideInterfaceButtons(const InterfaceListItem* items, size_t count,
                                             const InterfaceListItem* given, bool isAdmin);

// Clears every mark, then marks the supported items that a bind (not yet
// bound) or an unbind (bound) concerns. Returns how many were marked.
size_t MarkItemsForBind(InterfaceListItem* items, size_t count, bool bind);

// Input of request 5: Bind, NameBytes, process id, then the name with its
// NUL. A heap block for delete[]; null when it cannot be allocated.
const uint32_t BindQueryHeaderSize = 12;
uint8_t* BuildBindQuery(bool bind, const Char16* name, uint32_t processId, uint32_t* size);

// A query block of `headerSize` bytes followed by the name with its NUL; the
// header is left for the caller. Null when it cannot be allocated.
uint8_t* AllocateNameQuery(uint32_t headerSize, const Char16* name, uint32_t* nameBytes, uint32_t* size);
void PutQueryWord(uint8_t* at, uint32_t value);

enum BindStepAction {
    BindStepDone,     // advance the bar and go on
    BindStepStop,     // show the string as an error and end the operation
    BindStepAskGoOn,  // ask the string with Yes and No; Yes counts as done
};

struct BindStepReaction {
    BindStepAction action;
    unsigned stringId;  // 0 with BindStepDone
};

// `last` is true when no marked item remains after this one.
BindStepReaction ReactToBindStatus(ServiceStatus status, bool last);
BindStepReaction ReactToQueryShortage(bool last);
