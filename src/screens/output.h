// Where the screens send what they show and play, and how they make their big images.
#pragma once

#include <allegro.h>

#include "app/assets.h"

// The game and the starfield show finished frames through one of these. The program
// uses the screen, the retrace and the sound driver; a test can hand in its own bitmap
// and recorders, since a headless library has no screen.
struct Output {
    BITMAP* display;
    void (*wait_for_retrace)();
    void (*play_sound)(Asset sound); // full volume, centred, at the recorded pitch
};

// The real screen; ask for it after the screen mode is set.
Output screen_output();

// Every screen-sized image the screens make and free goes through these, so a test can
// refuse one or count the images still alive. They start as create_bitmap/destroy_bitmap.
extern BITMAP* (*create_screen_image)(int w, int h);
extern void (*destroy_screen_image)(BITMAP* image);
