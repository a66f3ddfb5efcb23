// Backup, restore and move of the service's data files, started from the
// General page's "Browse..." button.
#pragma once

#include <windows.h>

#include "core/busy_guard.h"

// Set while the progress dialog of an operation is open: the operation
// owns the agent until then, and the tray icon stays deaf.
extern BusyMarker DataFilesBusy;

// Folder browser, action choice, then the progress dialog while the service
// works. `currentFolder` is the folder box's text.
void StartDataFilesOperation(HWND page, const wchar_t* currentFolder);
