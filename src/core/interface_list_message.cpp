#include "core/interface_list_message.h"

#include "resources/resource_ids.h"

unsigned InterfaceListMessageId(InterfaceListOutcome outcome, unsigned emptyId)
{
    switch (outcome) {
    case ListNotStarted:
        return IDS_SERVICE_NOT_STARTED;
    case ListWrongVersion:
        return IDS_BAD_SERVICE_VERSION;
    case ListServiceError:
        return IDS_SERVICE_ERROR;
    case ListOutOfMemory:
        return IDS_OUT_OF_MEMORY;
    default:
        return emptyId;
    }
}
