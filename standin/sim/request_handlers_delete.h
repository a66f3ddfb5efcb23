// Request 10: the service forgets a not-present interface. Callers hold
// SimLock.
#pragma once

#include <cstdint>
#include <vector>

#include "request_handlers.h"

// Input: NameBytes, process id, then the name with its NUL. The interface
// of that name leaves the list when it is not present; a present or
// unknown one, or a malformed input, answers 0xC0FE0001.
uint32_t AnswerDeleteInterface(const RequestInput& input, std::vector<uint8_t>& reply);
