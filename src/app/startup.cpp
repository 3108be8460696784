// Bringing up the library, the tick clock and the sound.
#include "app/startup.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#if defined(ALLEGRO_WITH_ALSADIGI)
#include <alsa/asoundlib.h>
#endif

#include "app/clock.h"
#include "app/window_identity.h"

namespace {

#if defined(ALLEGRO_WITH_ALSADIGI)
// alsa-lib prints its own complaint about every device it cannot open, up to nine lines on a
// machine without a sound card; the game says it once, in its own words.
void quiet_alsa(const char*, int, const char*, int, const char*, ...) {}
#endif

void start_sound()
{
#if defined(ALLEGRO_WITH_ALSADIGI)
    snd_lib_error_set_handler(quiet_alsa);
#endif
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0 || digi_card == DIGI_NONE)
        std::fprintf(stderr, "blockrise: no sound device: playing silently\n");
}

} // namespace

const char* start_library()
{
    // The library makes its window inside allegro_init: its class and icon must come first,
    // and the title after, since allegro_init names the window after the program's file.
    set_window_class_and_icon();
    // Without a display the library leaves no system driver, and every later call would crash.
    if (allegro_init() != 0)
        return "cannot start the graphics library: no display (is DISPLAY set?)";
    set_window_caption();
    install_timer();
    install_keyboard();
    install_mouse();
    start_sound();
    tick_count = 0;
    install_int_ex(tick_handler, BPS_TO_TIMER(ticks_per_second));
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return nullptr;
}

void fail_start(const char* message)
{
    std::fprintf(stderr, "blockrise: %s\n", message);
    std::exit(1);
}
