#include "prefs/interface_lines.h"

#include <cwchar>
#include <new>
#include <vector>

#include "core/agent_state.h"
#include "core/interface_list_message.h"
#include "platform/message_box.h"
#include "resources/resource_ids.h"

const int InterfaceImageCount = 14;

HIMAGELIST LoadImageStrip(UINT bitmapId, int count, UINT colorFlags)
{
    HIMAGELIST images = ImageList_Create(16, 16, colorFlags | ILC_MASK, count, 0);
    if (!images)
        return nullptr;
    HBITMAP strip = LoadBitmapW(AppInstance, MAKEINTRESOURCEW(bitmapId));
    if (strip) {
        ImageList_AddMasked(images, strip, RGB(0xFF, 0x00, 0xFF));
        DeleteObject(strip);
    }
    return images;
}

HIMAGELIST AttachInterfaceImages(HWND list)
{
    HIMAGELIST images = LoadImageStrip(IDB_INTERFACE_STATES, InterfaceImageCount, ILC_COLOR4);
    if (!images)
        return nullptr;
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    return images;
}

void InsertFittedColumn(HWND list)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 1;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
}

void FitInterfaceColumn(HWND list)
{
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
}

void InsertInterfaceLine(HWND list, int line, const wchar_t* text, int image, LPARAM data)
{
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = line;
    item.pszText = const_cast<wchar_t*>(text);
    item.iImage = image;
    item.lParam = data;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ShowWaitingLine(HWND list)
{
    wchar_t waiting[256];
    LoadAgentString(IDS_GETTING_INTERFACES, waiting, 256);
    InsertInterfaceLine(list, 0, waiting, WaitingImage, WaitingLineData);
    FitInterfaceColumn(list);
}

void ShowMessageLine(HWND list, unsigned id, int image)
{
    wchar_t text[256];
    LoadAgentString(id, text, 256);
    InsertInterfaceLine(list, 0, text, image, 0);
}

InterfaceListItem* ItemOfListLine(HWND list, InterfaceListItem* items, size_t count, int line)
{
    if (line < 0 || !items)
        return nullptr;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = line;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return nullptr;
    // The waiting line and message lines carry no item of the array.
    InterfaceListItem* found = reinterpret_cast<InterfaceListItem*>(item.lParam);
    if (found < items || found >= items + count)
        return nullptr;
    return found;
}

wchar_t* CopySelectedName(HWND list, InterfaceListItem* items, size_t count)
{
    int mark = static_cast<int>(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0));
    InterfaceListItem* item = ItemOfListLine(list, items, count, mark);
    if (!item || !item->Name)
        return nullptr;
    size_t length = wcslen(item->Name);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (copy)
        wmemcpy(copy, item->Name, length + 1);
    return copy;
}

void ShowInterfaceItems(HWND list, InterfaceListItem* items, size_t count, const wchar_t* remembered)
{
    SortInterfaceItems(items, count);
    int selected = 0;
    bool found = false;
    for (size_t at = 0; at < count; ++at) {
        InterfaceListItem& item = items[at];
        InsertInterfaceLine(list, static_cast<int>(at), item.Name, InterfaceIconIndex(item.Flags),
                            reinterpret_cast<LPARAM>(&item));
        if (!found && remembered && SameInterfaceName(item.Name, remembered)) {
            selected = static_cast<int>(at);
            found = true;
        }
    }
    LVITEMW selection = {};
    selection.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    selection.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, selected, reinterpret_cast<LPARAM>(&selection));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, selected);
}

InterfaceListItem* FillInterfaceList(HWND list, InterfaceListReader reader, ServiceStatus status,
                                     const ServiceReply& reply, unsigned emptyId, int emptyImage,
                                     const wchar_t* remembered, size_t* count)
{
    *count = 0;
    std::vector<InterfaceEntry> entries;
    InterfaceListOutcome outcome = DecodeInterfaceList(reader, status, reply.data, reply.size, &entries);
    if (outcome == ListEmpty || (outcome == ListHasRecords && entries.empty())) {
        ShowMessageLine(list, emptyId, emptyImage);
        return nullptr;
    }
    if (outcome != ListHasRecords) {
        ShowMessageLine(list, InterfaceListMessageId(outcome, emptyId), MessageImage);
        return nullptr;
    }
    size_t copied = 0;
    InterfaceListItem* items = CopyInterfaceItems(entries.data(), entries.size(), &copied);
    if (!items) {
        ShowMessageLine(list, IDS_OUT_OF_MEMORY, MessageImage);
        return nullptr;
    }
    if (copied == 0) {
        FreeInterfaceItems(items, 0);
        ShowMessageLine(list, emptyId, emptyImage);
        return nullptr;
    }
    *count = copied;
    ShowInterfaceItems(list, items, copied, remembered);
    return items;
}
