// Prints where X's pointer is and the name of the innermost named window
// under it, as X itself routes a click there: window shapes count, so a
// pixel cut out of a window names the window beneath.
//   xpointer      ->  "<x> <y> <name>" (name empty when none)
#include <X11/Xlib.h>
#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 2;
    Window window = DefaultRootWindow(display), root, child;
    int x = 0, y = 0, inside;
    unsigned int mask;
    char *named = nullptr, *name;
    while (XQueryPointer(display, window, &root, &child, &x, &y, &inside, &inside, &mask) && child != None) {
        window = child;
        if (XFetchName(display, window, &name) && name) {
            if (named)
                XFree(named);
            named = name;
        }
    }
    printf("%d %d %s\n", x, y, named ? named : "");
    if (named)
        XFree(named);
    XCloseDisplay(display);
}
