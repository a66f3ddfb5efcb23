// Byte layouts of the service's replies. Callers hold SimLock.
#pragma once

#include <cstdint>
#include <vector>

#include "sim_state.h"

bool SelectorKeeps(uint32_t selector, uint32_t flags, bool& known);

// The interface list for a selector; false for a selector the service does
// not know. A malformed fault, when given, damages the bytes on purpose.
bool EncodeInterfaceList(uint32_t selector, const SimFault* malformed, std::vector<uint8_t>& reply);
