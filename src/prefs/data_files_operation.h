// Backup, restore and move of the service's data files, started from the
// General page's "Browse..." button.
#pragma once

#include <windows.h>

#define WM_AGENT_OPERATION_DONE 0x8066

// Folder browser, action choice, then the progress dialog while the service
// works. `currentFolder` is the folder box's text.
void StartDataFilesOperation(HWND page, const wchar_t* currentFolder);
