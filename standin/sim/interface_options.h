// The key=value options that describe an interface.
#pragma once

#include <string>

#include "sim_state.h"

void SetInterfaceDefaults(SimInterface& item, size_t index);

// Applies one option; false with a reason for an unknown key or bad value.
bool ApplyInterfaceOption(SimInterface& item, const std::string& key, const std::string& value, std::string& error);

std::string DescribeInterface(const SimInterface& item);
