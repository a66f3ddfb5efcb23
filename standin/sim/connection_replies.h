// Requests 2, 3 and 4: an interface's overall statistics, clearing them, and
// its groups and connections with their current statistics. The values come
// from the scenario's interfaces, "group" and "connection" records and the
// "overall" command. Callers hold SimLock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

uint32_t AnswerInterfaceStatistics(const uint8_t* input, uint32_t size, std::vector<uint8_t>& reply);
uint32_t AnswerClearStatistics(const uint8_t* input, uint32_t size, std::vector<uint8_t>& reply);
uint32_t AnswerConnections(const uint8_t* input, uint32_t size, std::vector<uint8_t>& reply);
// Whether a connection query asks for a clear as well.
bool QueryClears(const uint8_t* input, uint32_t size);

// overall <interface-key> field=value...: created=, last-cleared=,
// last-modified= (FILETIMEs), summary= (seconds), connections=,
// rx-headers=, tx-headers= (hardware-header bytes).
bool SetOverallStatistics(const std::vector<std::string>& words, std::string& out);

// requests [reset]: the requests 3 and 4 received, oldest first, as
// "3" and "4:<flags in hex>", separated by blanks.
bool ShowStatisticsRequests(const std::vector<std::string>& words, std::string& out);
