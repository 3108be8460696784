// Writes the icon a window hands the window manager (WM_HINTS' icon pixmap, its mask making
// the uncovered pixels black) as a binary PPM on standard output: xprop shows only the
// pixmap's number, and no X tool reads a pixmap back.
//
// Usage: window_icon WINDOW-ID   (e.g. 0x200001; the display comes from DISPLAY)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>

namespace {

int fail(const char* message)
{
    std::fprintf(stderr, "window_icon: %s\n", message);
    return 1;
}

// The 8-bit value of the channel that `mask` selects in a TrueColor pixel.
unsigned channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        shift++;
    const unsigned long top = mask >> shift;
    return static_cast<unsigned>(((pixel >> shift) & top) * 255 / top);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return fail("usage: window_icon WINDOW-ID");
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return fail("cannot open the display");
    const Window window = std::strtoul(argv[1], nullptr, 0);
    XWMHints* hints = XGetWMHints(display, window);
    if (!hints || !(hints->flags & IconPixmapHint))
        return fail("the window has no icon pixmap in WM_HINTS");

    Window root;
    int x, y;
    unsigned width, height, border, depth;
    if (!XGetGeometry(display, hints->icon_pixmap, &root, &x, &y, &width, &height, &border, &depth))
        return fail("the icon pixmap does not exist");
    XImage* image = XGetImage(display, hints->icon_pixmap, 0, 0, width, height, AllPlanes, ZPixmap);
    XImage* mask = (hints->flags & IconMaskHint)
                       ? XGetImage(display, hints->icon_mask, 0, 0, width, height, 1, XYPixmap)
                       : nullptr;
    if (!image)
        return fail("cannot read the icon pixmap");
    // The pixmap is of the screen's depth and so, on the displays the tests use, TrueColor.
    const Visual* visual = DefaultVisual(display, DefaultScreen(display));

    std::printf("P6\n%u %u\n255\n", width, height);
    for (unsigned row = 0; row < height; row++)
        for (unsigned col = 0; col < width; col++) {
            const int px = static_cast<int>(col), py = static_cast<int>(row);
            const bool shown = !mask || XGetPixel(mask, px, py) != 0;
            const unsigned long p = shown ? XGetPixel(image, px, py) : 0;
            std::putchar(static_cast<int>(channel(p, visual->red_mask)));
            std::putchar(static_cast<int>(channel(p, visual->green_mask)));
            std::putchar(static_cast<int>(channel(p, visual->blue_mask)));
        }
    XDestroyImage(image);
    if (mask)
        XDestroyImage(mask);
    XFree(hints);
    XCloseDisplay(display);
    return 0;
}
