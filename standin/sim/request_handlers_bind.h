// Request 5: binding the miniport to an interface or unbinding it. A bind
// sets the interface's bound and binding-active bits, an unbind clears
// both, and either signals the configuration event, so the agent's next
// list shows the new state. Callers hold SimLock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "request_handlers.h"
#include "sim_state.h"

// The name of a well-formed query: the NameBytes word at `nameBytesAt`
// covers the rest after `headerSize` exactly and ends with a NUL.
bool DecodeQueryName(const uint8_t* input, uint32_t size, uint32_t headerSize, uint32_t nameBytesAt,
                     std::wstring& name);
// The interface of that name, letters A to Z in either case; null if none.
SimInterface* FindInterfaceByName(const std::wstring& name);

uint32_t AnswerBindMiniport(const RequestInput& input, std::vector<uint8_t>& reply);

// Logs a request 5 for bind-requests, whatever its answer will be.
void NoteBindRequest(const uint8_t* input, uint32_t size);

// The key of the interface a request 5 input names, or empty; faults use it
// to hit one interface only.
std::string BindSubjectKey(const uint8_t* input, uint32_t size);

// bind-requests [reset]: every request 5 received while the service runs, oldest first, one per
// line as "<bind> <pid> <name>" ("size:<n>" for a malformed input).
bool BindRequestsCommand(const std::vector<std::string>& words, std::string& out);

// request-delay <code> <ms>: the service takes that long to answer a code
// (0 for at once), so a test can act while a request is on its way.
bool RequestDelayCommand(const std::vector<std::string>& words, std::string& out);
uint32_t RequestDelayOf(uint32_t code);

// request-gate <code> closed|open|step: while closed, each request of that
// code waits, its work done, before it answers, until a step lets one
// through (steps given early are kept), so a test can look at what the
// agent shows meanwhile for as long as it needs.
bool RequestGateCommand(const std::vector<std::string>& words, std::string& out);
// Called without SimLock.
void PassRequestGate(uint32_t code);
