#include "driver.h"

#include <algorithm>

static bool OpenCanvas(Canvas* canvas, int width, int height)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32}};
    *canvas = {CreateCompatibleDC(nullptr), nullptr, nullptr, nullptr, width, height};
    if (canvas->dc && width > 0 && height > 0)
        canvas->bitmap = CreateDIBSection(canvas->dc, &info, DIB_RGB_COLORS, (void**)&canvas->pixels, nullptr, 0);
    if (canvas->bitmap) {
        canvas->old = SelectObject(canvas->dc, canvas->bitmap);
        return true;
    }
    if (canvas->dc)
        DeleteDC(canvas->dc);
    return false;
}

void CloseCanvas(Canvas* canvas)
{
    SelectObject(canvas->dc, canvas->old);
    DeleteObject(canvas->bitmap);
    DeleteDC(canvas->dc);
}

bool GrabScreen(Canvas* canvas, const RECT& area)
{
    if (!OpenCanvas(canvas, area.right - area.left, area.bottom - area.top))
        return false;
    HDC screen = GetDC(nullptr);
    bool copied = BitBlt(canvas->dc, 0, 0, canvas->width, canvas->height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    if (!copied)
        CloseCanvas(canvas);
    return copied;
}

// The icon control as it shows, against each standard icon drawn on the
// same background: the one that differs in fewest pixels, and in under 5 %.
const wchar_t* MessageBoxIcon(HWND box)
{
    HWND icon = nullptr;
    RECT rect;
    while ((icon = FindWindowExW(box, icon, L"Static", nullptr)) &&
           (GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        ;
    if (!icon || !IsWindowVisible(icon))
        return L"none";
    Canvas shown, drawn;
    GetWindowRect(icon, &rect);
    if (!GrabScreen(&shown, rect))
        return L"unknown";
    const wchar_t* best = L"unknown";
    int count = shown.width * shown.height, fewest = count / 20 + 1;
    const wchar_t* names[] = {L"exclamation", L"hand", L"asterisk", L"question"};
    LPCWSTR ids[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};
    for (int i = 0; i < 4 && OpenCanvas(&drawn, shown.width, shown.height); ++i) {
        std::fill_n(drawn.pixels, count, shown.pixels[0]);
        DrawIconEx(drawn.dc, 0, 0, LoadIconW(nullptr, ids[i]), shown.width, shown.height, 0, nullptr, DI_NORMAL);
        GdiFlush();
        int differences = 0;
        for (int p = 0; p < count; ++p)
            differences += ((shown.pixels[p] ^ drawn.pixels[p]) & 0xFFFFFF) != 0;
        if (differences < fewest) {
            fewest = differences;
            best = names[i];
        }
        CloseCanvas(&drawn);
    }
    CloseCanvas(&shown);
    return best;
}
