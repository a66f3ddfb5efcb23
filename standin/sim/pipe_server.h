// The simulator's end of the pipe: several message-mode instances, one
// thread each, so callers on many threads are served at once.
#pragma once

#include <windows.h>

// False when the pipe cannot be made, e.g. another simulator owns it.
// quitEvent is set once a "quit" command has been answered.
bool StartPipeServer(HANDLE quitEvent);
