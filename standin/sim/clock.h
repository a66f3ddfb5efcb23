// The service's one-second tick: counters from the scenario's rates, timed
// events, timed restarts.
#pragma once

bool StartClock();
void StopClock();
