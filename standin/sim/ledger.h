// Accounting of reply blocks; callers hold SimLock.
#pragma once

#include <cstdint>
#include <string>

uint32_t IssueReplyToken();
void RecordRelease(uint32_t token, uint32_t verdict);
std::string LedgerLine();
void ResetLedgerAndCounts();
