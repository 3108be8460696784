// One game from the chosen player count to the high-score screens: the fixed-step loop
// that catches up tick by tick and draws after each batch.
#pragma once

#include <allegro.h>
#include <cstdint>

#include "screens/output.h"

// A game in progress.
struct GameRun {
    uint32_t last;           // number of the last tick simulated
    BITMAP* frame_buffer;    // every frame is composed here, then shown
    BITMAP* game_background; // the frame buffer is filled and patched from this
    Output output;
};

// Plays a game of `count` (1 or 2) players on the screen. The three 640x480 images come
// from the title menu: the frame buffer cleared to 0, the game background with its
// scan-lines and clock panel, and the title image, which is only destroyed here.
// Returns when the scores have been offered to the table and all three are destroyed.
void play_game(int count, BITMAP* frame_buffer, BITMAP* game_background, BITMAP* title_image);

// play_game showing its frames and playing its sounds through `output`.
void play_game_on(const Output& output, int count, BITMAP* frame_buffer,
                  BITMAP* game_background, BITMAP* title_image);

// The steps of play_game, for tests that drive tick_count themselves.

// Players, wells and panels, the first frame's background, music and start sound, clock.
GameRun begin_game(int count, BITMAP* frame_buffer, BITMAP* game_background,
                   const Output& output);
// One pass of the loop: simulates every tick since run.last in order, then draws a frame;
// with no new tick it draws only while B is held. Never waits for a tick.
void game_pass(GameRun& run);
// False once time is up, a player has topped out or Escape is held.
bool game_goes_on();
// Releases the players, the three images and the popups, the views before their frame buffer.
void release_game(GameRun& run, BITMAP* title_image);
