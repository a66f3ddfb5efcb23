// The command language shared by scenario files and the control command.
// Callers hold SimLock.
#pragma once

#include <string>
#include <vector>

// Runs one command; out receives the answer text (or the reason for a
// refusal). Returns false when the command is refused.
bool RunCommand(const std::vector<std::string>& words, std::string& out);

// Service stop and start, also driven by the clock for timed restarts.
void StopSimService(uint32_t forSeconds);
void StartSimService();
