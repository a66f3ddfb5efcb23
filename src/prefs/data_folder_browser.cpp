#include "prefs/data_folder_browser.h"

#include <shlobj.h>

#include "platform/message_box.h"
#include "resources/data_files_ids.h"

// Data files must stay reachable by the service at all times, so network,
// removable, optical and RAM drives are refused.
static bool IsFixedDriveFolder(const wchar_t* path)
{
    if (!path[0] || path[1] != L':' || path[2] != L'\\')
        return false;
    wchar_t root[4] = {path[0], L':', L'\\', 0};
    return GetDriveTypeW(root) == DRIVE_FIXED;
}

static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data)
{
    if (message == BFFM_INITIALIZED) {
        const wchar_t* initial = reinterpret_cast<const wchar_t*>(data);
        if (initial && initial[0])
            SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(initial));
    } else if (message == BFFM_SELCHANGED) {
        wchar_t path[MAX_PATH];
        bool ok = SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), path) && IsFixedDriveFolder(path);
        SendMessageW(browser, BFFM_ENABLEOK, 0, ok ? 1 : 0);
    }
    return 0;
}

bool BrowseForDataFolder(HWND owner, const wchar_t* initial, wchar_t* selected)
{
    selected[0] = 0;
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator)
        return false;
    LPITEMIDLIST root = nullptr;
    SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &root);
    wchar_t title[256];
    LoadAgentString(IDS_DF_BROWSE_TITLE, title, 256);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pidlRoot = root;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(initial);
    bool chosen = false;
    LPITEMIDLIST item = SHBrowseForFolderW(&info);
    if (item) {
        chosen = SHGetPathFromIDListW(item, selected) != FALSE;
        allocator->Free(item);
    }
    if (root)
        allocator->Free(root);
    allocator->Release();
    return chosen;
}
