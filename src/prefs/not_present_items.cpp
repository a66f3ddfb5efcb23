#include "prefs/not_present_items.h"

#include "resources/resource_ids.h"

bool ItemIsDeletable(const InterfaceListItem& item)
{
    return (item.Flags & IfNotPresent) != 0;
}

uint8_t* BuildDeleteQuery(const Char16* name, uint32_t processId, uint32_t* size)
{
    uint32_t nameBytes = 0;
    uint8_t* query = AllocateNameQuery(DeleteQueryHeaderSize, name, &nameBytes, size);
    if (!query)
        return nullptr;
    PutQueryWord(query, nameBytes);
    PutQueryWord(query + 4, processId);
    return query;
}

DeleteOutcome ReactToDeleteStatus(ServiceStatus status)
{
    switch (status) {
    case StatusSuccess:
    case StatusDoneWithNotes:
        return {true, 0};
    case StatusAccessDenied:
        return {false, IDS_ACCESS_DENIED};
    case StatusNotStarted:
        return {false, IDS_SERVICE_NOT_STARTED};
    default:
        return {false, IDS_OPERATION_FAILED};
    }
}
