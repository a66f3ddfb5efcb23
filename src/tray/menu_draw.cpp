#include "tray/menu_draw.h"

#include <cwchar>

#include "tray/menu_draw_parts.h"
#include "tray/menu_geometry.h"

static const int BannerWidth = 21;
// The metrics structure as Windows 2000 and XP know it; later systems
// accept this size as well.
static const UINT OldMetricsSize = 500;

MenuDrawRecord* AttachMenuItem(MenuDrawRecord* parent, HMENU menu, uint32_t commandId, uint32_t position)
{
    auto* record = static_cast<MenuDrawRecord*>(AllocZeroed(sizeof(MenuDrawRecord)));
    if (!record)
        return nullptr;
    record->menu = menu;
    record->commandId = commandId;
    record->position = position;
    if (parent) {
        record->parent = parent;
        record->nextSibling = parent->firstChild;
        parent->firstChild = record;
    }
    if (position != MenuRootPosition) {
        // Only the type flags and the data change (MIIM_FTYPE, not
        // MIIM_TYPE): the item keeps its text for measuring and drawing.
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (GetMenuItemInfoW(menu, position, TRUE, &info)) {
            info.fType |= MFT_OWNERDRAW;
            info.dwItemData = reinterpret_cast<ULONG_PTR>(record);
            SetMenuItemInfoW(menu, position, TRUE, &info);
        }
    }
    return record;
}

static HFONT ItemFont(const MenuDrawRecord* record, bool bold)
{
    for (const MenuDrawRecord* r = record; r; r = r->parent)
        if (r->normalFont)
            return bold && r->boldFont ? r->boldFont : r->normalFont;
    return nullptr;
}

static void CreateMenuFonts(MenuDrawRecord* root)
{
    static_assert(sizeof(NONCLIENTMETRICSW) >= OldMetricsSize, "metrics buffer too small");
    NONCLIENTMETRICSW metrics;
    ZeroMemory(&metrics, sizeof metrics);
    metrics.cbSize = OldMetricsSize;
    LOGFONTW font;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, OldMetricsSize, &metrics, 0))
        font = metrics.lfMenuFont;
    else if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font))
        return;
    root->normalFont = CreateFontIndirectW(&font);
    font.lfWeight = BoldWeight(font.lfWeight);
    root->boldFont = CreateFontIndirectW(&font);
}

static SIZE TextExtent(HDC dc, HFONT font, const wchar_t* text)
{
    SIZE extent = {0, 0};
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32W(dc, text, int(wcslen(text)), &extent);
    if (old)
        SelectObject(dc, old);
    return extent;
}

static void MeasureRecord(HDC dc, const MenuMetrics& metrics, MenuDrawRecord* record)
{
    if (record->position == MenuRootPosition)
        return;
    wchar_t text[256] = L"";
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP | MIIM_CHECKMARKS;
    info.dwTypeData = text;
    info.cch = 256;
    if (!GetMenuItemInfoW(record->menu, record->position, TRUE, &info)) {
        info.fType = record->commandId == MenuSeparatorId ? MFT_SEPARATOR : 0;
        info.fState = 0;
        text[0] = 0;
    }
    text[255] = 0;
    MenuItemFacts facts = {};
    facts.separator = (info.fType & MFT_SEPARATOR) != 0;
    facts.hasSubmenu = record->firstChild != nullptr;
    facts.hasText = text[0] != 0;
    bool disabled = (info.fState & (MFS_DISABLED | MFS_GRAYED)) != 0;
    facts.embossed = DrawsEmbossed(disabled, (info.fState & MFS_HILITE) != 0, GetSysColor(COLOR_GRAYTEXT),
                                   GetSysColor(COLOR_HIGHLIGHT));
    SIZE further = FurtherImageSize(record), image = ItemImageSize(record);
    facts.furtherWidth = further.cx;
    facts.furtherHeight = further.cy;
    facts.imageWidth = image.cx;
    facts.imageHeight = image.cy;
    if (facts.hasText && !facts.separator) {
        SIZE extent = TextExtent(dc, ItemFont(record, (info.fState & MFS_DEFAULT) != 0), text);
        facts.textWidth = extent.cx;
        facts.textHeight = extent.cy;
    }
    MenuItemSize size = MeasureMenuEntry(metrics, facts);
    record->width = size.width;
    record->height = size.height;
}

static int Larger(int a, LONG b)
{
    return a > b ? a : int(b);
}

// Every record with children keeps the largest pictures among them, so that
// an item without a picture still lines its text up with the others.
static void RecordLargestImages(MenuDrawRecord* parent)
{
    parent->maxExtraWidth = parent->maxExtraHeight = parent->maxIconWidth = parent->maxIconHeight = 0;
    for (const MenuDrawRecord* child = parent->firstChild; child; child = child->nextSibling) {
        SIZE further = FurtherImageSize(child), image = ItemImageSize(child);
        parent->maxExtraWidth = Larger(parent->maxExtraWidth, further.cx);
        parent->maxExtraHeight = Larger(parent->maxExtraHeight, further.cy);
        parent->maxIconWidth = Larger(parent->maxIconWidth, image.cx);
        parent->maxIconHeight = Larger(parent->maxIconHeight, image.cy);
    }
}

static void MeasureTree(HDC dc, const MenuMetrics& metrics, MenuDrawRecord* record)
{
    MeasureRecord(dc, metrics, record);
    for (MenuDrawRecord* child = record->firstChild; child; child = child->nextSibling)
        MeasureTree(dc, metrics, child);
    if (record->firstChild)
        RecordLargestImages(record);
}

// Stretches the root's items, in the order of their positions, to the
// banner's height.
static void StretchToBanner(MenuDrawRecord* root, int bannerHeight)
{
    int count = 0;
    for (const MenuDrawRecord* child = root->firstChild; child; child = child->nextSibling)
        ++count;
    if (count == 0)
        return;
    SIZE_T size = SIZE_T(count) * (sizeof(MenuDrawRecord*) + 2 * sizeof(int));
    auto* items = static_cast<MenuDrawRecord**>(AllocZeroed(size));
    if (!items)
        return;
    int* heights = reinterpret_cast<int*>(items + count);
    int* offsets = heights + count;
    int n = 0;
    for (MenuDrawRecord* child = root->firstChild; child; child = child->nextSibling) {
        int at = n++;
        while (at > 0 && items[at - 1]->position > child->position) {
            items[at] = items[at - 1];
            --at;
        }
        items[at] = child;
    }
    for (int i = 0; i < count; ++i)
        heights[i] = items[i]->height;
    if (StretchItemHeights(heights, count, bannerHeight, heights, offsets)) {
        for (int i = 0; i < count; ++i) {
            items[i]->height = heights[i];
            items[i]->bannerOffset = offsets[i];
        }
        root->totalHeight = bannerHeight;
    }
    FreeBlock(items);
}

static void ReleaseRootDrawing(MenuDrawRecord* record)
{
    DeleteGdiObject(&record->normalFont);
    DeleteGdiObject(&record->boldFont);
    DeleteGdiObject(&record->banner);
}

void PrepareMenu(HWND window, MenuDrawRecord* root)
{
    if (!root)
        return;
    // A second preparation of the same records starts afresh.
    ReleaseRootDrawing(root);
    CreateMenuFonts(root);
    HDC dc = GetDC(window);
    if (!dc)
        return;
    const MenuMetrics metrics = {GetSystemMetrics(SM_CYMENU), GetSystemMetrics(SM_CXMENUCHECK),
                                 GetSystemMetrics(SM_CYMENUCHECK)};
    MeasureTree(dc, metrics, root);
    root->bannerWidth = BannerWidth;
    root->totalHeight = 0;
    for (const MenuDrawRecord* child = root->firstChild; child; child = child->nextSibling)
        root->totalHeight += child->height;
    int bannerHeight = root->totalHeight;
    root->banner = BuildMenuBanner(dc, root->bannerWidth, &bannerHeight);
    if (root->banner)
        StretchToBanner(root, bannerHeight);
    for (MenuDrawRecord* child = root->firstChild; child; child = child->nextSibling)
        child->width += root->bannerWidth + 1;
    ReleaseDC(window, dc);
}

BOOL MeasureItem(MEASUREITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_MENU || item->itemData == 0)
        return FALSE;
    const auto* record = reinterpret_cast<const MenuDrawRecord*>(item->itemData);
    item->itemWidth = UINT(record->width);
    item->itemHeight = UINT(record->height);
    return TRUE;
}

static void CopyBitmap(HDC target, HBITMAP bitmap, int x, int y, int width, int height, int sourceY)
{
    HDC memory = CreateCompatibleDC(target);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(target, x, y, width, height, memory, 0, sourceY, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

static void DrawEntry(const DRAWITEMSTRUCT* item, const MenuDrawRecord* record, RECT area, UINT state,
                      const wchar_t* text)
{
    HDC dc = item->hDC;
    bool highlighted = (state & MFS_HILITE) != 0;
    bool disabled = (state & (MFS_DISABLED | MFS_GRAYED)) != 0;
    if (highlighted)
        FillRect(dc, &area, GetSysColorBrush(COLOR_HIGHLIGHT));
    else if (item->itemAction & ODA_SELECT)
        FillRect(dc, &area, GetSysColorBrush(COLOR_MENU));

    HBITMAP image;
    SIZE size;
    if (disabled) {
        image = highlighted ? record->greyHighlighted : record->greyNormal;
        size = highlighted ? record->greyHighlightedSize : record->greyNormalSize;
    } else {
        image = highlighted ? record->iconHighlighted : record->iconNormal;
        size = highlighted ? record->iconHighlightedSize : record->iconNormalSize;
    }
    int textLeft;
    if (image) {
        int x = area.left + 2, itemHeight = area.bottom - area.top;
        int y = itemHeight > size.cy ? area.top + (itemHeight - size.cy) / 2 : area.top;
        CopyBitmap(dc, image, x, y, size.cx, size.cy, 0);
        textLeft = x + size.cx + 2;
    } else {
        textLeft = area.left + 2 + (record->parent ? record->parent->maxIconWidth : 0) + 2;
    }
    if (text[0] == 0)
        return;

    SetBkMode(dc, TRANSPARENT);
    HFONT font = ItemFont(record, (state & MFS_DEFAULT) != 0);
    if (font)
        SelectObject(dc, font);
    RECT box = {textLeft, area.top, area.right, area.bottom};
    // The letter after '&' is underlined, unless the user's settings hide
    // keyboard cues until the keyboard is used.
    const UINT format = DT_SINGLELINE | DT_VCENTER | ((item->itemState & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    if (DrawsEmbossed(disabled, highlighted, grey, GetSysColor(COLOR_HIGHLIGHT))) {
        RECT shadow = box;
        OffsetRect(&shadow, 1, 2);
        SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, text, -1, &shadow, format);
    }
    SetTextColor(dc, disabled ? grey : GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    DrawTextW(dc, text, -1, &box, format);
}

BOOL DrawItem(const DRAWITEMSTRUCT* item)
{
    if (!item || item->CtlType != ODT_MENU || item->itemData == 0)
        return FALSE;
    const auto* record = reinterpret_cast<const MenuDrawRecord*>(item->itemData);
    wchar_t text[256] = L"";
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 256;
    if (!GetMenuItemInfoW(record->menu, record->position, TRUE, &info)) {
        text[0] = 0;
        info.fType = record->commandId == MenuSeparatorId ? MFT_SEPARATOR : 0;
        info.fState = (item->itemState & ODS_SELECTED ? MFS_HILITE : 0) |
            (item->itemState & (ODS_GRAYED | ODS_DISABLED) ? MFS_GRAYED : 0) |
            (item->itemState & ODS_DEFAULT ? MFS_DEFAULT : 0);
    }
    text[255] = 0;

    HDC dc = item->hDC;
    int saved = SaveDC(dc);
    RECT area = item->rcItem;
    const MenuDrawRecord* parent = record->parent;
    bool banner = parent && parent->banner;
    if (banner) {
        CopyBitmap(dc, parent->banner, area.left, area.top, parent->bannerWidth, area.bottom - area.top,
                   record->bannerOffset);
        area.left += parent->bannerWidth;
    }
    if (info.fType & MFT_SEPARATOR) {
        if (!banner)
            area.left += 2;
        RECT line = {area.left, area.top + (area.bottom - area.top) / 2, area.right - 2, area.bottom};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
        DrawEntry(item, record, area, info.fState, text);
    }
    RestoreDC(dc, saved);
    return TRUE;
}

void FreeMenuRecords(MenuDrawRecord* root)
{
    if (!root)
        return;
    MenuDrawRecord* child = root->firstChild;
    while (child) {
        MenuDrawRecord* next = child->nextSibling;
        FreeMenuRecords(child);
        child = next;
    }
    ReleaseRootDrawing(root);
    ReleaseItemImages(root);
    FreeBlock(root);
}
