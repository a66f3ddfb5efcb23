#include "prefs/data_files_operation.h"

#include <cwchar>
#include <new>

#include "core/agent_state.h"
#include "core/text16.h"
#include "platform/message_box.h"
#include "prefs/data_files_dialogs.h"
#include "prefs/data_folder_browser.h"
#include "resources/data_files_ids.h"

BusyMarker DataFilesBusy;

static void ShowIdenticalPaths(HWND page, const wchar_t* folder)
{
    wchar_t format[256];
    if (!LoadAgentString(IDS_DF_IDENTICAL, format, 256))
        return;
    // The string's "%s" is the folder, filled by our own helper: MinGW's
    // swprintf would read it as a narrow string and show one letter.
    wchar_t text[600];
    FormatWithText(text, 600, format, folder);
    MessageBoxW(page, text, AppTitle, MB_OK | MB_ICONERROR);
}

void StartDataFilesOperation(HWND page, const wchar_t* currentFolder)
{
    wchar_t selected[MAX_PATH];
    if (!BrowseForDataFolder(page, currentFolder, selected))
        return;
    wchar_t current[MAX_PATH + 1], chosen[MAX_PATH];
    lstrcpynW(current, currentFolder, MAX_PATH + 1);
    lstrcpynW(chosen, selected, MAX_PATH);
    DropTrailingBackslash(current);
    DropTrailingBackslash(chosen);
    if (lstrcmpiW(chosen, current) == 0) {
        ShowIdenticalPaths(page, currentFolder);
        return;
    }
    DataFilesRequest* request = nullptr;
    try {
        request = new DataFilesRequest();
        request->currentPath.assign(currentFolder, wcsnlen(currentFolder, 260));
        request->selectedPath.assign(selected);
    } catch (const std::bad_alloc&) {
        delete request;
        ShowStringMessage(page, IDS_DF_OUT_OF_MEMORY, MB_OK | MB_ICONERROR);
        return;
    }
    if (DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_DATA_FILES_CHOICE), page, DataFilesChoiceProc,
                        reinterpret_cast<LPARAM>(request)) == 1) {
        BusyGuard busy(DataFilesBusy);
        DialogBoxParamW(AppInstance, MAKEINTRESOURCEW(IDD_DATA_FILES_PROGRESS), page, DataFilesProgressProc,
                        reinterpret_cast<LPARAM>(request));
    }
    delete request;
}
