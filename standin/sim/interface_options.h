// The key=value options that describe an interface.
#pragma once

#include <string>
#include <vector>

#include "sim_state.h"

void SetInterfaceDefaults(SimInterface& item, size_t index);

// Applies one option; false with a reason for an unknown key or bad value.
bool ApplyInterfaceOption(SimInterface& item, const std::string& key, const std::string& value, std::string& error);
// Applies words[from] onwards, each "option=value"; false with a reason at
// the first bad one, the options before it applied.
bool ApplyInterfaceOptions(SimInterface& item, const std::vector<std::string>& words, size_t from, std::string& error);

std::string DescribeInterface(const SimInterface& item);
