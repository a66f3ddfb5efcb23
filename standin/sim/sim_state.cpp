#include "sim_state.h"

SimState Sim;
CRITICAL_SECTION SimLock;

SimInterface* FindInterface(const std::string& key)
{
    for (SimInterface& item : Sim.interfaces)
        if (item.key == key)
            return &item;
    return nullptr;
}
