// Requests 8, 11, 12 and 13: the data-files operations. An operation takes
// "duration" milliseconds (default 3000), during which request 11 reports
// its progress; a cancel mark in request 11 ends it with 0xC0FE002B. A
// backup keeps the configuration snapshot it carries; a restore that asks
// for the configuration gets it back. Callers hold SimLock; an operation
// lets go of it while it runs so that the progress polls get through.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "request_handlers.h"

uint32_t AnswerChangeDataFolder(const RequestInput& input, std::vector<uint8_t>& reply);
uint32_t AnswerOperationProgress(const RequestInput& input, std::vector<uint8_t>& reply);
uint32_t AnswerBackupDataFiles(const RequestInput& input, std::vector<uint8_t>& reply);
uint32_t AnswerRestoreDataFiles(const RequestInput& input, std::vector<uint8_t>& reply);

// data-files [duration=<ms>] [forget]: sets the length of an operation or
// drops the stored snapshot; without options prints
// "running=0|1 last=<code> flags=<hex> path=<text> snapshot=<bytes> cancelled=<n> polls=<n> status=<hex>".
bool DataFilesCommand(const std::vector<std::string>& words, std::string& out);
