// XTest key events and root-window captures against the display named by DISPLAY.
#include "harness/x_screen.h"

#include <X11/X.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

constexpr auto poll_interval = std::chrono::milliseconds(100);

// Windows can vanish between an event and a query; such errors are expected, not fatal.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

int shift_of(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

uint8_t channel(unsigned long pixel, unsigned long mask)
{
    if (!mask)
        return 0;
    const unsigned long value = (pixel & mask) >> shift_of(mask);
    const unsigned long top = mask >> shift_of(mask);
    return static_cast<uint8_t>(value * 255 / top);
}

} // namespace

XScreen::XScreen()
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        problem_ = "no DISPLAY set";
        return;
    }
    display_ = XOpenDisplay(name);
    if (!display_) {
        problem_ = std::string("cannot open display ") + name;
        return;
    }
    int event_base, error_base, major, minor;
    if (!XTestQueryExtension(display_, &event_base, &error_base, &major, &minor)) {
        problem_ = "the X server has no XTest extension";
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    XSetErrorHandler(ignore_x_error);
}

XScreen::~XScreen()
{
    if (display_) {
        release_all();
        XCloseDisplay(display_);
    }
}

int XScreen::width() const { return display_ ? DisplayWidth(display_, DefaultScreen(display_)) : 0; }
int XScreen::height() const
{
    return display_ ? DisplayHeight(display_, DefaultScreen(display_)) : 0;
}

unsigned XScreen::keycode(const std::string& key) const
{
    const KeySym sym = XStringToKeysym(key.c_str());
    return sym == NoSymbol ? 0 : XKeysymToKeycode(display_, sym);
}

void XScreen::press(const std::string& key)
{
    const unsigned code = keycode(key);
    if (!code)
        return;
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XSync(display_, False);
    held_.insert(key);
}

void XScreen::release(const std::string& key)
{
    const unsigned code = keycode(key);
    if (!code)
        return;
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XSync(display_, False);
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
    const std::set<std::string> keys = held_;
    for (const std::string& key : keys)
        release(key);
}

Frame XScreen::grab() const
{
    Frame frame;
    if (!display_)
        return frame;
    const Window root = DefaultRootWindow(display_);
    const int w = width(), h = height();
    XImage* image = XGetImage(display_, root, 0, 0, w, h, AllPlanes, ZPixmap);
    if (!image)
        return frame;
    frame.width = w;
    frame.height = h;
    frame.pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const unsigned long p = XGetPixel(image, x, y);
            frame.pixels[static_cast<size_t>(y) * w + x] = {channel(p, image->red_mask),
                                                            channel(p, image->green_mask),
                                                            channel(p, image->blue_mask)};
        }
    XDestroyImage(image);
    return frame;
}

bool XScreen::wait_for(const std::function<bool(const Frame&)>& condition, double seconds,
                       Frame* last) const
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(seconds));
    for (;;) {
        Frame frame = grab();
        const bool ok = !frame.empty() && condition(frame);
        if (last)
            *last = std::move(frame);
        if (ok)
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(poll_interval);
    }
}

void XScreen::watch_windows()
{
    if (!display_)
        return;
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
    watching_ = false;
    drain_events();
    sizes_.clear();
    mapped_.clear();
    watching_ = true;
}

void XScreen::drain_events()
{
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (!watching_)
            continue;
        if (event.type == CreateNotify)
            sizes_[event.xcreatewindow.window] = {event.xcreatewindow.width,
                                                  event.xcreatewindow.height};
        if (event.type == ConfigureNotify)
            sizes_[event.xconfigure.window] = {event.xconfigure.width, event.xconfigure.height};
        if (event.type == MapNotify)
            mapped_.insert(event.xmap.window);
    }
}

bool XScreen::saw_window(int w, int h)
{
    if (!display_)
        return false;
    drain_events();
    for (unsigned long window : mapped_) {
        const auto size = sizes_.find(window);
        if (size != sizes_.end() && size->second == std::make_pair(w, h))
            return true;
    }
    return false;
}

bool XScreen::window_mapped(int w, int h) const
{
    if (!display_)
        return false;
    Window root_return, parent;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root_return, &parent, &children, &count))
        return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; i++) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable && attributes.width == w && attributes.height == h)
            found = true;
    }
    if (children)
        XFree(children);
    return found;
}
