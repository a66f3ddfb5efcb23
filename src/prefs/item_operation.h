// The record a bind or delete progress dialog shares with its worker: each
// holds one of its owners, and whichever lets go last frees the items and
// the record, as an unload can end the dialog while the worker still runs.
#pragma once

#include <windows.h>

#include "core/agent_messages.h"
#include "prefs/interface_items.h"

template <typename Operation> void LetGo(Operation* operation)
{
    if (InterlockedDecrement(&operation->owners) != 0)
        return;
    FreeInterfaceItems(operation->items, operation->count);
    delete operation;
}

template <typename Operation> void CloseProgress(Operation* operation)
{
    SendMessageW(operation->dialog, AGENT_CLOSE_COMMAND, 0, 0);
}
