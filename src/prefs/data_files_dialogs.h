// The two dialogs of a data-files operation; both take the DataFilesRequest
// as their parameter.
#pragma once

#include <windows.h>

#include "prefs/data_files_wire.h"

// Ends with 1 when the user chose an action, 0 otherwise.
INT_PTR CALLBACK DataFilesChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the operation behind a progress bar until the service answers.
INT_PTR CALLBACK DataFilesProgressProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
