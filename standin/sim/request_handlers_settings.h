// Requests 9 and 14: the data-files folder and how long the statistics of a
// disconnected connection are held, from the "data-settings" command. What
// request 14 received is kept for "disconnected-requests". Callers hold
// SimLock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "request_handlers.h"

uint32_t AnswerDataFilesSettings(const RequestInput& input, std::vector<uint8_t>& reply);
uint32_t AnswerDisconnectedOptions(const RequestInput& input, std::vector<uint8_t>& reply);

// data-settings [folder=<path>] [hold=<seconds>] [cumulative=0|1]: sets what
// request 9 answers; without options prints "folder=... hold=N cumulative=N".
bool DataSettingsCommand(const std::vector<std::string>& words, std::string& out);

// disconnected-requests [reset]: the inputs of request 14, oldest first, as
// "<hold>,<cumulative>" ("size:<n>" for an input of another size).
bool DisconnectedRequestsCommand(const std::vector<std::string>& words, std::string& out);
