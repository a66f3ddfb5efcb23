// Prints where X's pointer is and the name of the innermost named window
// under it, as X itself routes a click there: window shapes count, so a
// pixel cut out of a window names the window beneath.
//   xpointer      ->  "<x> <y> <name>" (name empty when none)
#include <X11/Xlib.h>
#include <cstdio>

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xpointer: cannot open the display\n");
        return 2;
    }
    Window window = DefaultRootWindow(display), root, child;
    int rootX = 0, rootY = 0, x, y;
    unsigned int mask;
    char* named = nullptr;
    while (XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &mask) && child != None) {
        window = child;
        char* name = nullptr;
        if (XFetchName(display, window, &name) && name) {
            if (named)
                XFree(named);
            named = name;
        }
    }
    std::printf("%d %d %s\n", rootX, rootY, named ? named : "");
    if (named)
        XFree(named);
    XCloseDisplay(display);
    return 0;
}
