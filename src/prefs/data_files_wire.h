// The byte blocks of the data-files operations: the operation requests with
// their shared head, the progress poll, and the snapshot in a restore reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/text16.h"

// What the user chose, filled by the action dialog; option bytes start at 0.
struct DataFilesRequest {
    Text16 currentPath;
    Text16 selectedPath;
    uint8_t restore;
    uint8_t restoreConfig;
    uint8_t restoreData;
    uint8_t backup;
    uint8_t clearAfterCopy;
    uint8_t storeConfig;
    uint8_t storeData;
    uint8_t copyCleared;
    uint8_t removeFromCurrent;
};

// Ties progress replies and the cancel mark to the operation this agent
// started, not some other client's.
struct OperationIdentity {
    uint32_t ticks;
    uint32_t processId;
    uint32_t threadId;
};

const uint32_t OperationHeadBytes = 20;
const uint32_t ProgressInputBytes = 16;
const uint32_t ProgressReplyMinBytes = 20;

// Drops one trailing backslash, which the folder browser never returns but a
// service may name its folder with, so the two name the same folder alike;
// a drive root (C:\ and the like) keeps it.
void DropTrailingBackslash(Char16* path);

// Request 13 for a restore, 12 for a backup, otherwise 8.
uint32_t DataFilesRequestCode(const DataFilesRequest& request);

// The whole input of the request; `snapshot` is attached to a backup only
// and only when it is not empty.
void BuildOperationInput(const DataFilesRequest& request, const OperationIdentity& identity,
                         const std::vector<uint8_t>& snapshot, std::vector<uint8_t>* input);

void BuildProgressInput(bool cancelRequested, const OperationIdentity& identity, uint8_t input[ProgressInputBytes]);

// True, with the percentage (at most 100), when the reply is valid progress
// of the operation with this identity.
bool ReadOperationProgress(const uint8_t* reply, size_t size, const OperationIdentity& identity, uint32_t* percent);

// The snapshot inside a successful restore reply, or false when it has none
// that lies wholly inside the reply.
bool FindRestoredSnapshot(const uint8_t* reply, size_t size, const uint8_t** snapshot, uint32_t* snapshotBytes);
