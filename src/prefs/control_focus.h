// Enabling and disabling dialog controls without stranding the keyboard.
#pragma once

#include <windows.h>

// A control that is disabled while it has the focus keeps it and takes no
// keys, so the keyboard would be dead until a click; the focus goes on to
// the next control first, as Tab would take it. Only the focus of the
// calling thread is seen, which is the dialog's own for every command.
void SetControlEnabled(HWND control, bool enable);
