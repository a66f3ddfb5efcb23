#include "driver.h"

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

static bool OpenCanvas(Canvas* canvas, int width, int height)
{
    BITMAPINFO info = {{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB}};
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
    HDC screen = GetDC(nullptr);
    bool copied = screen && OpenCanvas(canvas, area.right - area.left, area.bottom - area.top);
    if (copied && !BitBlt(canvas->dc, 0, 0, canvas->width, canvas->height, screen, area.left, area.top, SRCCOPY)) {
        CloseCanvas(canvas);
        copied = false;
    }
    if (screen)
        ReleaseDC(nullptr, screen);
    GdiFlush();
    return copied;
}

static BOOL CALLBACK FindIcon(HWND child, LPARAM found)
{
    if (!IsClass(child, L"Static") || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    *(HWND*)found = child;
    return FALSE;
}

// The icon control as it shows, against each standard icon drawn on the
// same background: the one that differs in fewest pixels, and in under 5 %.
const wchar_t* MessageBoxIcon(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(box, FindIcon, LPARAM(&icon));
    RECT rect;
    if (!icon || !IsWindowVisible(icon))
        return L"none";
    Canvas shown, drawn;
    if (!GetWindowRect(icon, &rect) || rect.right - rect.left > 256 || rect.bottom - rect.top > 256 ||
        !GrabScreen(&shown, rect))
        return L"unknown";
    const wchar_t* best = L"unknown";
    int count = shown.width * shown.height, fewest = count / 20 + 1;
    const wchar_t* names[] = {L"exclamation", L"hand", L"asterisk", L"question"};
    LPCWSTR ids[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};
    for (int i = 0; i < 4 && OpenCanvas(&drawn, shown.width, shown.height); ++i) {
        for (int p = 0; p < count; ++p)
            drawn.pixels[p] = shown.pixels[0];
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
