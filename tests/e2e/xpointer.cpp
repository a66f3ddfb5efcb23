// Prints where X's pointer is, and where it is in the innermost named window
// under it, which X routes a click to: window shapes count, so a pixel cut
// out of a window names the window beneath. The second point tells where X
// itself has that window, which may lag behind where wine says it is.
//   xpointer      ->  "<x> <y> <x in window> <y in window> <name>" (name empty when none)
#include <X11/Xlib.h>
#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    Window window = DefaultRootWindow(display), named = None, root, child;
    int x = 0, y = 0, inX, inY, namedX = 0, namedY = 0;
    unsigned int mask;
    char *name = nullptr, *fetched;
    while (XQueryPointer(display, window, &root, &child, &x, &y, &inX, &inY, &mask)) {
        if (window == named)
            namedX = inX, namedY = inY;
        if (child == None)
            break;
        window = child;
        if (XFetchName(display, window, &fetched) && fetched) {
            if (name)
                XFree(name);
            name = fetched, named = window;
        }
    }
    printf("%d %d %d %d %s\n", x, y, namedX, namedY, name ? name : "");
    if (name)
        XFree(name);
    XCloseDisplay(display);
}
