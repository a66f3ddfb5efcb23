#include "platform/screen_pixels.h"

#include <windows.h>

int ScreenPixels(int pixelsAt96)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return pixelsAt96;
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    // Rounded down, so that nothing outgrows what holds it at 96 dpi.
    return dpi > 0 ? pixelsAt96 * dpi / 96 : pixelsAt96;
}
