// Bringing up the library, the tick clock and the 640x480 screen.
#include "app/startup.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/clock.h"
#include "app/screen_size.h"

namespace {
constexpr int preferred_depth = 16;
constexpr int fallback_depth = 15;
} // namespace

const char* start_library()
{
    // Without a display the library leaves no system driver, and every later call would crash.
    if (allegro_init() != 0)
        return "cannot start the graphics library (no display? try: xvfb-run ./run)";
    install_timer();
    install_keyboard();
    install_mouse();
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    tick_count = 0;
    install_int_ex(tick_handler, BPS_TO_TIMER(ticks_per_second));
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return nullptr;
}

const char* set_screen_mode()
{
    set_color_depth(preferred_depth);
    if (set_gfx_mode(GFX_AUTODETECT, screen_width, screen_height, 0, 0) == 0)
        return nullptr;
    set_color_depth(fallback_depth);
    if (set_gfx_mode(GFX_AUTODETECT, screen_width, screen_height, 0, 0) == 0)
        return nullptr;
    return "cannot set a 640x480 screen mode at 16 or 15 bits per pixel";
}

void fail_start(const char* message)
{
    std::fprintf(stderr, "blockrise: %s\n", message);
    std::exit(1);
}
