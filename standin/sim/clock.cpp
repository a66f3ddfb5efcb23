#include "clock.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "commands.h"
#include "shared_mappings.h"
#include "sim_state.h"

namespace {

HANDLE ClockStopEvent = nullptr;
HANDLE ClockThread = nullptr;

constexpr uint64_t BytesPerPacket = 1000;

uint64_t RateAt(const std::vector<uint64_t>& rates, uint32_t second)
{
    return rates.empty() ? 0 : rates[second % rates.size()];
}

void AdvanceCounters()
{
    for (SimInterface& item : Sim.interfaces) {
        bool live = (item.flags & IfConnected) && !(item.flags & IfNotPresent);
        item.currentRx = live ? RateAt(item.rxRates, Sim.elapsed) : 0;
        item.currentTx = live ? RateAt(item.txRates, Sim.elapsed) : 0;
        if (!live)
            continue;
        item.rxBytes += item.currentRx / 8;
        item.txBytes += item.currentTx / 8;
        item.rxPackets += (item.currentRx / 8 + BytesPerPacket - 1) / BytesPerPacket;
        item.txPackets += (item.currentTx / 8 + BytesPerPacket - 1) / BytesPerPacket;
        ++item.connectedSeconds;
    }
}

void RunDueEvents()
{
    if (!Sim.serviceRunning && Sim.restartAt != 0 && Sim.elapsed >= Sim.restartAt)
        StartSimService();
    // Commands may add events and so move the vector: index, never iterate.
    for (size_t at = 0; at < Sim.events.size(); ++at) {
        if (Sim.events[at].done || Sim.events[at].second > Sim.elapsed)
            continue;
        Sim.events[at].done = true;
        std::vector<std::string> args = Sim.events[at].args;
        std::string out;
        if (!RunCommand(args, out))
            fprintf(stderr, "at %u %s: %s\n", Sim.elapsed, args[0].c_str(), out.c_str());
    }
}

DWORD WINAPI ClockMain(LPVOID)
{
    DWORD next = GetTickCount() + 1000;
    while (true) {
        DWORD now = GetTickCount();
        DWORD wait = static_cast<int32_t>(next - now) > 0 ? next - now : 0;
        if (WaitForSingleObject(ClockStopEvent, wait) != WAIT_TIMEOUT)
            break;
        next += 1000;
        EnterCriticalSection(&SimLock);
        ++Sim.elapsed;
        if (Sim.serviceRunning)
            AdvanceCounters();
        RunDueEvents();
        if (Sim.serviceRunning)
            UpdateSharedMappings();
        LeaveCriticalSection(&SimLock);
    }
    return 0;
}

}  // namespace

bool StartClock()
{
    // Events due at second 0 belong to the loaded scenario, before any caller.
    EnterCriticalSection(&SimLock);
    RunDueEvents();
    LeaveCriticalSection(&SimLock);
    ClockStopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ClockStopEvent == nullptr)
        return false;
    ClockThread = CreateThread(nullptr, 0, ClockMain, nullptr, 0, nullptr);
    if (ClockThread == nullptr) {
        StopClock();
        return false;
    }
    return true;
}

void StopClock()
{
    if (ClockStopEvent != nullptr) {
        SetEvent(ClockStopEvent);
        if (ClockThread != nullptr) {
            WaitForSingleObject(ClockThread, INFINITE);
            CloseHandle(ClockThread);
        }
        CloseHandle(ClockStopEvent);
    }
    ClockThread = nullptr;
    ClockStopEvent = nullptr;
}
