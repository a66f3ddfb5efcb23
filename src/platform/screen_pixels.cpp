#include "platform/screen_pixels.h"

#include <windows.h>

int ScreenPixels(int pixelsAt96)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return pixelsAt96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? MulDiv(pixelsAt96, dpi, 96) : pixelsAt96;
}
