// Faults the simulated service plays: parsed from "fault ..." words, picked
// per request in the order they were given. Callers hold SimLock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim_state.h"

// words[0] is the fault kind; the rest are its options.
bool ParseFault(const std::vector<std::string>& words, SimFault& fault, std::string& error);

// The first fault that applies to a request with this code (init: the
// ServiceInitialize call), used up by one. `subject` is the key of the
// interface a request names, or empty. False when none applies.
bool TakeFault(uint32_t code, bool init, SimFault& fault, const std::string& subject = std::string());

// "all" or a kind name; returns how many were dropped, -1 for a bad kind.
int ClearFaults(const std::string& kind);

std::string DescribeFault(const SimFault& fault);
