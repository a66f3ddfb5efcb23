// Backup, restore and move of the service's data files, started from the
// General page's "Browse..." button.
#pragma once

#include <windows.h>

// Folder browser, action choice, then the progress dialog while the service
// works. `currentFolder` is the folder box's text.
void StartDataFilesOperation(HWND page, const wchar_t* currentFolder);
