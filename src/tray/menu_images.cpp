#include "tray/menu_draw.h"

#include <cstring>

#include "tray/menu_draw_parts.h"
#include "tray/menu_geometry.h"

static const int PaletteSize = 16;
static const int KeyEntry = 13;  // the background of every picture

// A private copy of a 16-colour bitmap resource, so that its palette can be
// changed; null when the resource is missing or not of that kind.
static BITMAPINFO* CopyBitmapResource(uint32_t id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_BITMAP);
    if (!found)
        return nullptr;
    DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || size < sizeof(BITMAPINFOHEADER) + PaletteSize * sizeof(RGBQUAD))
        return nullptr;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(data);
    if (header->biSize != sizeof(BITMAPINFOHEADER) || header->biBitCount != 4 || header->biCompression != BI_RGB ||
        (header->biClrUsed != 0 && header->biClrUsed != PaletteSize) || header->biWidth <= 0 || header->biHeight == 0 ||
        header->biWidth > 256 || header->biHeight > 256 || header->biHeight < -256)
        return nullptr;
    DWORD stride = ((DWORD(header->biWidth) * 4 + 31) / 32) * 4;
    DWORD rows = DWORD(header->biHeight < 0 ? -header->biHeight : header->biHeight);
    if (size < sizeof(BITMAPINFOHEADER) + PaletteSize * sizeof(RGBQUAD) + stride * rows)
        return nullptr;
    auto* copy = static_cast<BITMAPINFO*>(AllocZeroed(size));
    if (copy)
        memcpy(copy, data, size);
    return copy;
}

static void SetPaletteEntry(RGBQUAD* entry, COLORREF color)
{
    entry->rgbRed = GetRValue(color);
    entry->rgbGreen = GetGValue(color);
    entry->rgbBlue = GetBValue(color);
}

static HBITMAP ScaledImage(const BITMAPINFO* info, int cx, int cy)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return nullptr;
    HBITMAP image = CreateCompatibleBitmap(screen, cx, cy);
    HDC memory = CreateCompatibleDC(screen);
    if (image && memory) {
        HGDIOBJ old = SelectObject(memory, image);
        SetStretchBltMode(memory, COLORONCOLOR);
        const BITMAPINFOHEADER& header = info->bmiHeader;
        const BYTE* bits = reinterpret_cast<const BYTE*>(info->bmiColors + PaletteSize);
        int rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
        int copied =
            StretchDIBits(memory, 0, 0, cx, cy, 0, 0, header.biWidth, rows, bits, info, DIB_RGB_COLORS, SRCCOPY);
        SelectObject(memory, old);
        if (copied == 0 || copied == int(GDI_ERROR))
            DeleteGdiObject(&image);
    } else {
        DeleteGdiObject(&image);
    }
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

static void LoadImagePair(uint32_t id, bool grey, int cx, int cy, HBITMAP* highlighted, SIZE* highlightedSize,
                          HBITMAP* normal, SIZE* normalSize)
{
    BITMAPINFO* copy = CopyBitmapResource(id);
    if (!copy)
        return;
    RGBQUAD* palette = copy->bmiColors;
    if (grey)
        for (int i = 0; i < PaletteSize; ++i) {
            BYTE level = GreyLevel(palette[i].rgbRed, palette[i].rgbGreen, palette[i].rgbBlue);
            palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = level;
        }
    SetPaletteEntry(&palette[KeyEntry], GetSysColor(COLOR_MENU));
    *normal = ScaledImage(copy, cx, cy);
    if (*normal)
        *normalSize = SIZE{cx, cy};
    SetPaletteEntry(&palette[KeyEntry], GetSysColor(COLOR_HIGHLIGHT));
    *highlighted = ScaledImage(copy, cx, cy);
    if (*highlighted)
        *highlightedSize = SIZE{cx, cy};
    FreeBlock(copy);
}

void ReleaseItemImages(MenuDrawRecord* record)
{
    DeleteGdiObject(&record->iconHighlighted);
    DeleteGdiObject(&record->iconNormal);
    DeleteGdiObject(&record->greyHighlighted);
    DeleteGdiObject(&record->greyNormal);
    record->iconHighlightedSize = record->iconNormalSize = SIZE{0, 0};
    record->greyHighlightedSize = record->greyNormalSize = SIZE{0, 0};
    for (MenuImageSet& set : record->further) {
        DeleteGdiObject(&set.highlighted);
        DeleteGdiObject(&set.normal);
        set.highlightedSize = set.normalSize = SIZE{0, 0};
    }
}

void LoadItemImages(MenuDrawRecord* record, int cx, int cy)
{
    if (!record)
        return;
    ReleaseItemImages(record);
    if (record->iconId == 0)
        return;
    LoadImagePair(record->iconId, false, cx, cy, &record->iconHighlighted, &record->iconHighlightedSize,
                  &record->iconNormal, &record->iconNormalSize);
    LoadImagePair(record->greyIconId ? record->greyIconId : record->iconId, true, cx, cy, &record->greyHighlighted,
                  &record->greyHighlightedSize, &record->greyNormal, &record->greyNormalSize);
}

static int Larger(int a, LONG b)
{
    return a > b ? a : int(b);
}

static int LargestOf(LONG a, LONG b, LONG c, LONG d)
{
    return Larger(Larger(Larger(int(a), b), c), d);
}

SIZE ItemImageSize(const MenuDrawRecord* record)
{
    return SIZE{LargestOf(record->iconHighlightedSize.cx, record->iconNormalSize.cx, record->greyHighlightedSize.cx,
                          record->greyNormalSize.cx),
                LargestOf(record->iconHighlightedSize.cy, record->iconNormalSize.cy, record->greyHighlightedSize.cy,
                          record->greyNormalSize.cy)};
}

SIZE FurtherImageSize(const MenuDrawRecord* record)
{
    const MenuImageSet* f = record->further;
    return SIZE{LargestOf(f[0].highlightedSize.cx, f[0].normalSize.cx, f[1].highlightedSize.cx, f[1].normalSize.cx),
                LargestOf(f[0].highlightedSize.cy, f[0].normalSize.cy, f[1].highlightedSize.cy, f[1].normalSize.cy)};
}
