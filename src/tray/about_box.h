// The About box: a small modal dialog on a thread of its own, so that the
// tray keeps answering while it is open.
#pragma once

#include <windows.h>

// The open box; null when there is none.
extern HWND AboutWindow;

// Brings an open About box to the front, or opens one.
void ShowAbout();

// For the shutdown: ends the box, also one still coming up, and waits for
// its thread at most `timeoutMs`. No box opens afterwards.
void EndAboutBoxAndWait(DWORD timeoutMs);
