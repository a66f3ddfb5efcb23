// The shortcut in the user's start-up folder that starts the agent at logon.
#pragma once

#include <windows.h>

// The folder with its trailing backslash: the "ZorvanHAgentStartupFolder"
// value taken verbatim when it is a usable string, else the shell's start-up
// folder. `buffer` holds MAX_PATH characters; false when there is none.
bool GetStartupFolder(wchar_t* buffer);

bool StartupShortcutExists();
// True when the shortcut could be written; whether the save took is seen at
// the next look at the folder. Needs COM on the calling thread.
bool CreateStartupShortcut();
void DeleteStartupShortcut();
