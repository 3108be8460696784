// Where the screens send what they show and play, and how they make their big images.
#pragma once

#include <allegro.h>

#include "app/assets.h"

// The screens show their frames, play their sounds and read their keys through one of
// these. The program uses the screen, the retrace, the sound driver and the keyboard; a
// test hands in its own bitmap, recorders and scripted keys, since a headless library has
// neither a screen nor a keyboard to read.
struct Output {
    BITMAP* display;
    void (*wait_for_retrace)();
    void (*play_sound)(Asset sound); // full volume, centred, at the recorded pitch
    int (*read_fresh_key)();         // empties the key buffer, then waits: readkey's result
};

// The real screen; ask for it after the screen mode is set.
Output screen_output();

// Every screen-sized image the screens make and free goes through these, so a test can
// refuse one or count the images still alive. They start as create_bitmap/destroy_bitmap.
extern BITMAP* (*create_screen_image)(int w, int h);
extern void (*destroy_screen_image)(BITMAP* image);
