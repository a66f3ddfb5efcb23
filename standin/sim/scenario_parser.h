// Reads a scenario file: one command per line, run in order at load time;
// "at <second> ..." lines are kept for the clock.
#pragma once

#include <string>

// Returns false with "file:line: reason" in error. Takes SimLock itself.
bool LoadScenario(const wchar_t* path, std::string& error);
