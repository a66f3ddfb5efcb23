#include "ledger.h"

#include <cstdio>

#include "../common/wire.h"
#include "sim_state.h"

uint32_t IssueReplyToken()
{
    Ledger& ledger = Sim.ledger;
    uint32_t token = ledger.nextToken++;
    if (ledger.nextToken == wire::NoToken)
        ledger.nextToken = 1;
    ledger.tokens[token] = Ledger::Outstanding;
    ++ledger.issued;
    return token;
}

void RecordRelease(uint32_t token, uint32_t verdict)
{
    Ledger& ledger = Sim.ledger;
    if (verdict == wire::Empty) {
        ++ledger.emptyReleases;
        return;
    }
    auto found = ledger.tokens.find(token);
    if (found == ledger.tokens.end()) {
        ++ledger.unknownReleases;
        return;
    }
    Ledger::TokenState& state = found->second;
    if (verdict == wire::Matched && state == Ledger::Outstanding) {
        state = Ledger::Released;
        ++ledger.released;
    } else if (verdict == wire::Matched && state == Ledger::OutstandingBeforeReset) {
        state = Ledger::ReleasedBeforeReset;
    } else if (verdict == wire::NotHeld && (state == Ledger::Released || state == Ledger::ReleasedBeforeReset)) {
        // The library no longer holds a token this ledger saw released: the
        // caller handed the same reply back twice.
        ++ledger.doubleReleases;
    } else {
        ++ledger.unknownReleases;
    }
}

std::string LedgerLine()
{
    const Ledger& ledger = Sim.ledger;
    char line[160];
    snprintf(line, sizeof line, "issued=%u released=%u outstanding=%u double=%u unknown=%u",
             static_cast<unsigned>(ledger.issued), static_cast<unsigned>(ledger.released),
             static_cast<unsigned>(ledger.issued - ledger.released), static_cast<unsigned>(ledger.doubleReleases),
             static_cast<unsigned>(ledger.unknownReleases));
    return line;
}

void ResetLedgerAndCounts()
{
    Ledger& ledger = Sim.ledger;
    ledger.issued = ledger.released = ledger.doubleReleases = ledger.unknownReleases = ledger.emptyReleases = 0;
    for (auto& entry : ledger.tokens) {
        if (entry.second == Ledger::Outstanding)
            entry.second = Ledger::OutstandingBeforeReset;
        if (entry.second == Ledger::Released)
            entry.second = Ledger::ReleasedBeforeReset;
    }
    Sim.requestCounts.clear();
    Sim.requestTotal = 0;
}
