// Presses and releases one key on an X display through the XTest extension, as a player would.
//
// Usage: send_key KEYSYM-NAME   (e.g. space, Escape; the display comes from DISPLAY)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: send_key KEYSYM-NAME\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "send_key: cannot open the display\n");
        return 1;
    }
    const KeySym sym = XStringToKeysym(argv[1]);
    const KeyCode code = sym == NoSymbol ? 0 : XKeysymToKeycode(display, sym);
    if (code == 0) {
        std::fprintf(stderr, "send_key: no key for '%s'\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XFlush(display);
    usleep(50000); // long enough for the game's keyboard poll to see it
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XCloseDisplay(display); // sends what is still queued
    return 0;
}
