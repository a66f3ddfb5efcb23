// The unload's one time budget: every wait of the shutdown that could
// hang on a question, a dialog or a slow request shares it, so the process
// ends in a few seconds whatever was open.
#pragma once

#include <windows.h>

// Starts the budget; later calls keep the first start.
void BeginUnload();
bool UnloadBegun();
// INFINITE before the unload began, then what is left of the budget.
DWORD UnloadTimeLeft();
