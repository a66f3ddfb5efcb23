// Turns one pipe message from the library or the control command into its
// answer.
#pragma once

#include <cstdint>
#include <vector>

void DispatchMessage(const std::vector<uint8_t>& message, std::vector<uint8_t>& answer);
