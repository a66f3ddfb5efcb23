// Requests 9 and 14 of the General page: reading the data-files folder with
// the disconnected-connection options, and telling the service new options
// behind the modal synchronizing dialog.
#pragma once

#include <windows.h>

#include "core/text16.h"
#include "prefs/general_page_rules.h"

// Owned by the General page; the request 14 worker only reads `pending`
// and `page`, both written before it starts.
struct GeneralPageRecord {
    HWND page;
    DisconnectedOptions last;     // as the service last reported them
    DisconnectedOptions pending;  // taken from the controls for request 14
};

extern GeneralPageRecord GeneralPageState;

// Request 9. Leaves the folder, or the message that takes its place, in
// `folderText` (the caller's, emptied first) and the options in
// GeneralPageState.last; with a page the text goes into the folder box.
// True when the folder was obtained.
bool QueryDataFilesSettings(HWND page, Text16* folderText);

// Request 14 with the slider and the cumulative check box, when they differ
// from what the service last reported.
void ApplyDisconnectedOptions(HWND page);
