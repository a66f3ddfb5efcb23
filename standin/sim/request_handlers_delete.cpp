#include "request_handlers_delete.h"

#include "request_handlers_bind.h"
#include "service_objects.h"
#include "sim_state.h"

uint32_t AnswerDeleteInterface(const RequestInput& input, std::vector<uint8_t>&)
{
    std::wstring name;
    if (!DecodeQueryName(input.bytes, input.size, 8, 0, name))
        return StatusFailure;
    SimInterface* item = FindInterfaceByName(name);
    if (item == nullptr || !(item->flags & IfNotPresent))
        return StatusFailure;
    Sim.interfaces.erase(Sim.interfaces.begin() + (item - Sim.interfaces.data()));
    SignalNetConfChanged();
    return StatusSuccess;
}
