// The simulator's control commands, spoken over its pipe from inside the
// driver, so a script's checks need no extra wine process.
#include "driver.h"

#include "../../../standin/common/pipe_client.h"

#include <cstdlib>
#include <vector>

static void PrintAnswer(std::string text)
{
    text.erase(text.find_last_not_of("\r\n") + 1);
    Print(L"%ls", Widen(text).c_str());
}

// Exit codes as the control program's: 0 accepted, 1 refused, 2 no simulator.
int Sim(const DriverArgs* args)
{
    std::vector<std::string> words;
    std::string text;
    for (int i = 0; i < args->count; ++i)
        words.push_back(Narrow(args->words[i]));
    int result = SimControl(words, text);
    PrintAnswer(result == 2 ? "no simulator" : text);
    return result;
}

// Until the simulator has seen at least that many requests of the code;
// prints the last count.
int SimCount(const DriverArgs* args)
{
    std::string seen = "none", text;
    bool met = false;
    do {
        if (!SimControl({"count", Narrow(args->words[0])}, text)) {
            seen = text;
            met = strtoull(text.c_str(), nullptr, 10) >= args->number[1] && !text.empty();
        }
    } while (!met && WaitStep(args));
    PrintAnswer(seen);
    return met ? Met : NotMet;
}
