// What the pieces of the owner-drawn menu share among themselves: heap and
// GDI release helpers, the item pictures' sizes and the side banner.
#pragma once

#include <windows.h>

#include "tray/menu_draw.h"

inline void* AllocZeroed(SIZE_T size)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

inline void FreeBlock(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

template <typename Handle> void DeleteGdiObject(Handle* object)
{
    if (*object)
        DeleteObject(*object);
    *object = nullptr;
}

// Deletes every picture of the record and clears its sizes.
void ReleaseItemImages(MenuDrawRecord* record);
// The largest of the four item pictures, and of the two further sets.
SIZE ItemImageSize(const MenuDrawRecord* record);
SIZE FurtherImageSize(const MenuDrawRecord* record);

// The side banner with its caption, at least *height tall: it grows to hold
// the caption, and *height tells the height it got. Null on failure.
HBITMAP BuildMenuBanner(HDC dc, int width, int* height);
