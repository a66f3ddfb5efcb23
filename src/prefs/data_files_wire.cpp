#include "prefs/data_files_wire.h"

#include "core/service_status.h"
#include "core/wire_read.h"

static void PutU32(std::vector<uint8_t>* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back(uint8_t(v >> (8 * i)));
}

static void PutText(std::vector<uint8_t>* out, const Text16& text)
{
    for (Char16 c : text) {
        out->push_back(uint8_t(uint16_t(c)));
        out->push_back(uint8_t(uint16_t(c) >> 8));
    }
    out->push_back(0);
    out->push_back(0);
}

void DropTrailingBackslash(Char16* path)
{
    size_t length = 0;
    while (path[length] != 0)
        ++length;
    if (length >= 2 && path[length - 1] == '\\' && !(length == 3 && path[1] == ':'))
        path[length - 1] = 0;
}

uint32_t DataFilesRequestCode(const DataFilesRequest& request)
{
    if (request.restore)
        return RequestRestore;
    if (request.backup)
        return RequestBackup;
    return RequestMoveDataFiles;
}

void BuildOperationInput(const DataFilesRequest& request, const OperationIdentity& identity,
                         const std::vector<uint8_t>& snapshot, std::vector<uint8_t>* input)
{
    uint32_t flags = 0;
    uint32_t code = DataFilesRequestCode(request);
    bool attach = code == RequestBackup && !snapshot.empty();
    if (code == RequestRestore)
        flags = (request.restoreData ? 0x1 : 0) | (request.restoreConfig ? 0x2 : 0);
    else if (code == RequestBackup)
        flags = (request.clearAfterCopy ? 0x1 : 0) | (request.storeData ? 0x2 : 0) | (attach ? 0x4 : 0);
    else
        flags = (request.removeFromCurrent ? 0x1 : 0) | (request.copyCleared ? 0x2 : 0);
    input->clear();
    PutU32(input, flags);
    PutU32(input, identity.ticks);
    PutU32(input, identity.processId);
    PutU32(input, identity.threadId);
    PutU32(input, uint32_t((request.selectedPath.size() + 1) * 2));
    if (code == RequestBackup)
        PutU32(input, attach ? uint32_t(snapshot.size()) : 0);
    PutText(input, request.selectedPath);
    if (attach)
        input->insert(input->end(), snapshot.begin(), snapshot.end());
}

void BuildProgressInput(bool cancelRequested, const OperationIdentity& identity, uint8_t input[ProgressInputBytes])
{
    const uint32_t fields[4] = {cancelRequested ? 1u : 0u, identity.ticks, identity.processId, identity.threadId};
    for (int f = 0; f < 4; ++f)
        for (int i = 0; i < 4; ++i)
            input[4 * f + i] = uint8_t(fields[f] >> (8 * i));
}

bool ReadOperationProgress(const uint8_t* reply, size_t size, const OperationIdentity& identity, uint32_t* percent)
{
    if (reply == nullptr || size < ProgressReplyMinBytes || !(ReadU32(reply) & 0x1))
        return false;
    if (ReadU32(reply + 8) != identity.ticks || ReadU32(reply + 12) != identity.processId ||
        ReadU32(reply + 16) != identity.threadId)
        return false;
    uint32_t value = ReadU32(reply + 4);
    *percent = value > 100 ? 100 : value;
    return true;
}

bool FindRestoredSnapshot(const uint8_t* reply, size_t size, const uint8_t** snapshot, uint32_t* snapshotBytes)
{
    if (reply == nullptr || size < 12 || !(ReadU32(reply) & 0x2))
        return false;
    uint32_t bytes = ReadU32(reply + 8);
    if (bytes == 0 || !FitsIn(size, 12, bytes))
        return false;
    *snapshot = reply + 12;
    *snapshotBytes = bytes;
    return true;
}
