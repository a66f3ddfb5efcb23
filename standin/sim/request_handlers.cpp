#include "request_handlers.h"

#include "../common/wire.h"
#include "connection_replies.h"
#include "request_handlers_bind.h"
#include "request_handlers_delete.h"
#include "reply_encoder.h"
#include "request_handlers_data_files.h"
#include "request_handlers_settings.h"

namespace {

uint32_t ListInterfaces(const RequestInput& input, std::vector<uint8_t>& reply)
{
    if (input.size != 4)
        return StatusFailure;
    if (!EncodeInterfaceList(wire::Get32(input.bytes), input.malformed, reply))
        return StatusFailure;
    return StatusSuccess;
}

uint32_t InterfaceStatistics(const RequestInput& input, std::vector<uint8_t>& reply)
{
    return AnswerInterfaceStatistics(input.bytes, input.size, reply);
}

uint32_t ClearStatistics(const RequestInput& input, std::vector<uint8_t>& reply)
{
    return AnswerClearStatistics(input.bytes, input.size, reply);
}

uint32_t Connections(const RequestInput& input, std::vector<uint8_t>& reply)
{
    return AnswerConnections(input.bytes, input.size, reply);
}

// Indexed by request code; codes 2 to 14 get their handlers here.
const RequestHandler Handlers[15] = {
    nullptr,              // 0
    ListInterfaces,       // 1
    InterfaceStatistics,  // 2
    ClearStatistics,      // 3
    Connections,          // 4
    AnswerBindMiniport,   // 5
    nullptr,
    nullptr,                    // 6 and 7
    AnswerChangeDataFolder,     // 8
    AnswerDataFilesSettings,    // 9
    AnswerDeleteInterface,      // 10
    AnswerOperationProgress,    // 11
    AnswerBackupDataFiles,      // 12
    AnswerRestoreDataFiles,     // 13
    AnswerDisconnectedOptions,  // 14
};

}  // namespace

RequestHandler FindRequestHandler(uint32_t code)
{
    if (code >= sizeof Handlers / sizeof Handlers[0])
        return nullptr;
    return Handlers[code];
}
