// XTest key events and root-window captures against the display named by DISPLAY.
#include "harness/e2e.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Windows can vanish between a query and the next; such errors are expected, not fatal.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

uint8_t channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    while (!(mask & 1)) {
        mask >>= 1;
        pixel >>= 1;
    }
    return static_cast<uint8_t>((pixel & mask) * 255 / mask);
}

template <typename Pred>
int count_in(Rect area, Pred counts)
{
    int count = 0;
    for (int y = area.y; y < area.y + area.h; y++)
        for (int x = area.x; x < area.x + area.w; x++)
            count += counts(x, y) ? 1 : 0;
    return count;
}

} // namespace

bool near_color(Rgb a, Rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

int count_near(const Frame& frame, Rect area, Rgb color)
{
    return count_in(area, [&](int x, int y) { return near_color(frame.at(x, y), color); });
}

int count_changed(const Frame& a, const Frame& b, Rect area)
{
    if (a.width != b.width || a.height != b.height)
        return area.w * area.h;
    return count_in(area, [&](int x, int y) { return !near_color(a.at(x, y), b.at(x, y), 0); });
}

XScreen::XScreen()
{
    const char* name = std::getenv("DISPLAY");
    int event_base, error_base, major, minor;
    if (!name || !*name)
        problem = "no DISPLAY set";
    else if (!(display_ = XOpenDisplay(name)))
        problem = std::string("cannot open display ") + name;
    else if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
        problem = "the X server has no XTest extension";
        XCloseDisplay(display_);
        display_ = nullptr;
    } else {
        XSetErrorHandler(ignore_x_error);
        width = DisplayWidth(display_, DefaultScreen(display_));
        height = DisplayHeight(display_, DefaultScreen(display_));
    }
}

XScreen::~XScreen()
{
    if (display_) {
        release_all();
        XCloseDisplay(display_);
    }
}

void XScreen::fake_key(const std::string& key, bool down)
{
    const KeySym sym = XStringToKeysym(key.c_str());
    const unsigned code = sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
    if (!code)
        return;
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    XSync(display_, False);
    if (down)
        held_.insert(key);
    else
        held_.erase(key);
}

void XScreen::tap(const std::string& key, int hold_ms)
{
    press(key);
    std::this_thread::sleep_for(std::chrono::milliseconds(hold_ms));
    release(key);
}

void XScreen::release_all()
{
    for (const std::string& key : std::set<std::string>(held_))
        release(key);
}

Frame XScreen::grab() const
{
    Frame frame;
    XImage* image = display_ ? XGetImage(display_, DefaultRootWindow(display_), 0, 0, width, height,
                                         AllPlanes, ZPixmap)
                             : nullptr;
    if (!image)
        return frame;
    frame.width = width;
    frame.height = height;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            const unsigned long p = XGetPixel(image, x, y);
            frame.pixels.push_back({channel(p, image->red_mask), channel(p, image->green_mask),
                                    channel(p, image->blue_mask)});
        }
    XDestroyImage(image);
    return frame;
}

bool XScreen::close_windows()
{
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!display_ || !XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
        return false;
    const Atom protocols = XInternAtom(display_, "WM_PROTOCOLS", False);
    const Atom delete_window = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    int sent = 0;
    for (unsigned i = 0; i < count; i++) {
        Atom* taken = nullptr;
        int taken_count = 0;
        if (!XGetWMProtocols(display_, children[i], &taken, &taken_count))
            continue;
        if (std::find(taken, taken + taken_count, delete_window) != taken + taken_count) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = children[i];
            event.xclient.message_type = protocols;
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(delete_window);
            event.xclient.data.l[1] = CurrentTime;
            sent += XSendEvent(display_, children[i], False, NoEventMask, &event) != 0;
        }
        XFree(taken);
    }
    if (children)
        XFree(children);
    XFlush(display_);
    return sent > 0;
}

bool XScreen::window_mapped(int w, int h) const
{
    Window root, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!display_ ||
        !XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; i++) {
        XWindowAttributes a;
        found = XGetWindowAttributes(display_, children[i], &a) && a.map_state == IsViewable &&
                a.width == w && a.height == h;
    }
    if (children)
        XFree(children);
    return found;
}
