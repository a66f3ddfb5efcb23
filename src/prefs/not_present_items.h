// The Movements page's rules: which items may be deleted, the query that
// deletes a not-present interface, and what each answer of the service
// means. Nothing here touches a window.
#pragma once

#include <cstdint>

#include "core/interface_list.h"
#include "core/service_status.h"
#include "prefs/interface_items.h"

// Only an item the service calls not present is ever sent for deletion.
bool ItemIsDeletable(const InterfaceListItem& item);

// Input of request 10: NameBytes, process id, then the name with its NUL.
// A heap block for delete[]; null when it cannot be allocated.
const uint32_t DeleteQueryHeaderSize = 8;
uint8_t* BuildDeleteQuery(const Char16* name, uint32_t processId, uint32_t* size);

struct DeleteOutcome {
    bool done;          // then the monitor settings go too
    unsigned stringId;  // the error box's text when not done
};

DeleteOutcome ReactToDeleteStatus(ServiceStatus status);
