#include "request_handlers.h"

#include "../common/wire.h"
#include "reply_encoder.h"

namespace {

uint32_t ListInterfaces(const RequestInput& input, std::vector<uint8_t>& reply) {
  if (input.size != 4) return kStatusFailure;
  if (!EncodeInterfaceList(wire::Get32(input.bytes), input.malformed, reply)) return kStatusFailure;
  return kStatusSuccess;
}

// Indexed by request code; codes 2 to 14 get their handlers here.
const RequestHandler Handlers[15] = {
    nullptr,         // 0
    ListInterfaces,  // 1
};

}  // namespace

RequestHandler FindRequestHandler(uint32_t code) {
  if (code >= sizeof Handlers / sizeof Handlers[0]) return nullptr;
  return Handlers[code];
}
