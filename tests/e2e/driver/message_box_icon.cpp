#include "message_box_icon.h"

// Icon handles are not comparable across processes, so the icon is told by
// its pixels: the control as it shows on screen against each standard icon
// drawn on the same background.

struct IconSearch {
    HWND control;
};

static BOOL CALLBACK FindIconControl(HWND child, LPARAM context)
{
    wchar_t className[32];
    if (GetClassNameW(child, className, 32) == 0 || _wcsicmp(className, L"Static") != 0)
        return TRUE;
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    ((IconSearch*)context)->control = child;
    return FALSE;
}

struct PixelBlock {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    DWORD* pixels;
};

static bool CreatePixelBlock(HDC reference, int width, int height, PixelBlock* block)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    block->dc = CreateCompatibleDC(reference);
    if (block->dc == nullptr)
        return false;
    block->bitmap = CreateDIBSection(block->dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (block->bitmap == nullptr) {
        DeleteDC(block->dc);
        return false;
    }
    block->previous = SelectObject(block->dc, block->bitmap);
    block->pixels = (DWORD*)bits;
    return true;
}

static void DeletePixelBlock(PixelBlock* block)
{
    SelectObject(block->dc, block->previous);
    DeleteObject(block->bitmap);
    DeleteDC(block->dc);
}

static int CountDifferences(const DWORD* a, const DWORD* b, int count)
{
    int differences = 0;
    for (int i = 0; i < count; ++i)
        if ((a[i] & 0x00FFFFFF) != (b[i] & 0x00FFFFFF))
            ++differences;
    return differences;
}

static const wchar_t* MatchIcon(const PixelBlock* shown, PixelBlock* work, int width, int height)
{
    struct Candidate {
        LPCWSTR id;
        const wchar_t* name;
    };
    static const Candidate candidates[] = {
        {IDI_EXCLAMATION, L"exclamation"},
        {IDI_HAND, L"hand"},
        {IDI_ASTERISK, L"asterisk"},
        {IDI_QUESTION, L"question"},
    };
    int pixelCount = width * height;
    DWORD background = shown->pixels[0];
    const wchar_t* best = L"unknown";
    int bestDifferences = pixelCount / 20 + 1;
    for (const Candidate& candidate : candidates) {
        HICON icon = LoadIconW(nullptr, candidate.id);
        if (icon == nullptr)
            continue;
        for (int i = 0; i < pixelCount; ++i)
            work->pixels[i] = background;
        DrawIconEx(work->dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        int differences = CountDifferences(shown->pixels, work->pixels, pixelCount);
        if (differences < bestDifferences) {
            bestDifferences = differences;
            best = candidate.name;
        }
    }
    return best;
}

const wchar_t* IdentifyMessageBoxIcon(HWND messageBox)
{
    IconSearch search = {nullptr};
    EnumChildWindows(messageBox, FindIconControl, (LPARAM)&search);
    if (search.control == nullptr || !IsWindowVisible(search.control))
        return L"none";
    RECT rect;
    if (!GetWindowRect(search.control, &rect))
        return L"unknown";
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || width > 256 || height > 256)
        return L"unknown";

    HDC screen = GetDC(nullptr);
    if (screen == nullptr)
        return L"unknown";
    const wchar_t* result = L"unknown";
    PixelBlock shown, work;
    if (CreatePixelBlock(screen, width, height, &shown)) {
        if (CreatePixelBlock(screen, width, height, &work)) {
            if (BitBlt(shown.dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY)) {
                GdiFlush();
                result = MatchIcon(&shown, &work, width, height);
            }
            DeletePixelBlock(&work);
        }
        DeletePixelBlock(&shown);
    }
    ReleaseDC(nullptr, screen);
    return result;
}
