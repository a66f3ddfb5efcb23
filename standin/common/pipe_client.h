// Client side of the simulator's pipe, shared by the library, the control
// command and the probe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The pipe name; ZORVANH_SIM_PIPE in the environment overrides it.
void GetSimPipeName(wchar_t* name, unsigned capacity);

enum class TransactResult { Ok, NoSimulator, Broken };

// Sends one message and reads the whole answer.
TransactResult SimTransact(const std::vector<uint8_t>& message, std::vector<uint8_t>& answer);

// Sends a control command; text receives the simulator's answer.
// Returns 0 accepted, 1 refused, 2 no simulator.
int SimControl(const std::vector<std::string>& args, std::string& text);
