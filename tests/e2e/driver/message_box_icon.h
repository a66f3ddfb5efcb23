#pragma once

#include <windows.h>

// Which standard icon a message box shows: "exclamation", "hand",
// "asterisk", "question", "none" or "unknown".
const wchar_t* IdentifyMessageBoxIcon(HWND messageBox);
