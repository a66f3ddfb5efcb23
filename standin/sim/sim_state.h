// The records the simulator plays the service from. Every field is guarded
// by SimLock; whoever changes network state signals the service's events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

constexpr uint32_t StatusSuccess = 0;
constexpr uint32_t StatusFailure = 0xC0FE0001u;
constexpr uint32_t StatusAccessDenied = 0xC0FE0005u;
constexpr uint32_t StatusNotStarted = 0xC0FE000Au;
constexpr uint32_t StatusWrongVersion = 0xC0FE000Bu;
constexpr uint32_t StatusBusy = 0xC0FE000Du;

constexpr uint32_t IfSupported = 0x01;
constexpr uint32_t IfConnected = 0x02;
constexpr uint32_t IfBound = 0x04;
constexpr uint32_t IfNotPresent = 0x08;
constexpr uint32_t IfBindingActive = 0x10;

struct SimInterface {
    std::string key;  // what scenarios and control commands call it
    std::wstring name;
    std::wstring id;
    uint32_t flags = 0;
    uint64_t linkSpeed = 0;         // units of 100 bit/s
    std::vector<uint64_t> rxRates;  // bit/s, one entry per second, cycled
    std::vector<uint64_t> txRates;
    uint64_t rxBytes = 0;
    uint64_t txBytes = 0;
    uint64_t rxPackets = 0;
    uint64_t txPackets = 0;
    uint64_t connectedSeconds = 0;
    uint32_t connectionCount = 0;
    uint64_t currentRx = 0;  // rates of the last tick
    uint64_t currentTx = 0;
    std::vector<uint8_t> part2;
    std::vector<uint8_t> part3;
    uint32_t pad = 0;  // extra bytes after the record, inside RecordSize
};

// Groups and connections are kept as given until their requests exist.
struct SimRecord {
    std::string key;
    std::map<std::string, std::string> fields;
};

enum class FaultKind { NotStarted, Busy, WrongVersion, Status, Truncate, Malformed, Fill, Init };

enum class Malformation { RecordSizeZero, RecordSizePastEnd, NameSizePastEnd, CountTooLarge, NameNoNul, IdNoNul };

struct SimFault {
    FaultKind kind = FaultKind::Status;
    uint32_t code = 0;       // 0 matches every request code
    int32_t remaining = -1;  // -1 never runs out
    uint32_t status = StatusFailure;
    uint32_t bytes = 0;  // truncation length, busy block length
    bool block = false;  // busy answers carry a reply block
    Malformation malformation = Malformation::RecordSizeZero;
    uint32_t record = 0;    // which record a malformation hits
    std::string subject;    // request 5: only for the interface with this key; empty: any
    bool apply = false;     // status faults: the request is served, then answers the status
    uint32_t from = 0;      // fill: the first byte overwritten
    uint32_t value = 0xFF;  // fill: what every byte from there becomes
};

struct TimedEvent {
    uint32_t second = 0;
    std::vector<std::string> args;
    bool done = false;
};

struct Ledger {
    uint32_t issued = 0;
    uint32_t released = 0;
    uint32_t doubleReleases = 0;
    uint32_t unknownReleases = 0;
    uint32_t emptyReleases = 0;
    // Tokens issued before the last reset stay known, so their late release
    // is neither counted nor mistaken for an unknown one.
    enum TokenState : uint8_t { Outstanding, Released, OutstandingBeforeReset, ReleasedBeforeReset };
    std::map<uint32_t, TokenState> tokens;
    uint32_t nextToken = 1;
};

struct SimState {
    bool serviceRunning = true;
    bool live = false;       // service objects may exist (scenario loaded)
    uint32_t restartAt = 0;  // second at which a stopped service starts, 0 none
    uint32_t elapsed = 0;    // seconds since the scenario was loaded
    uint32_t firstWord = 0x00010002u;
    uint32_t initCalls = 0;
    uint32_t uninitCalls = 0;
    bool quitRequested = false;
    std::vector<SimInterface> interfaces;
    std::vector<SimRecord> groups;
    std::vector<SimRecord> connections;
    std::vector<SimFault> faults;
    std::vector<TimedEvent> events;
    Ledger ledger;
    std::map<uint32_t, uint32_t> requestCounts;
    uint32_t requestTotal = 0;
};

extern SimState Sim;
extern CRITICAL_SECTION SimLock;

SimInterface* FindInterface(const std::string& key);
