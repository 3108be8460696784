// The name-entry screen for a new high score and the high-score table screen.
#pragma once

#include <allegro.h>
#include <cstdint>

// Runs the name entry, in player order, for every player of the finished game whose
// score enters the table.
void enter_high_scores();
// Offers the name entry for `score`, the name buffer starting as `name`; enters the
// score once a name is confirmed. Nothing is shown when the score does not enter.
void enter_high_score(const char* name, int32_t score);
// Shows the table until a key is pressed.
void show_high_scores();

// Draws `text` verbatim, centred on x with its top at y, over a black shadow 2 pixels
// down and right. Sets no text mode: the background is always left as it is.
void draw_shadow_text(BITMAP* bitmap, FONT* f, int16_t x, int16_t y, int color, const char* text);

// Where the screens wait: once per redraw of the typed name, and for each key.
// The game waits on the display's retrace and the keyboard buffer; tests script both.
struct KeySource {
    void (*wait_frame)();
    int (*read_key)(); // empties the buffer first, then waits; readkey's result
};

// The screens above, laid over `target` (the game passes `screen`).
void enter_high_scores_on(BITMAP* target, const KeySource& keys);
void enter_high_score_on(BITMAP* target, const KeySource& keys, const char* name, int32_t score);
void show_high_scores_on(BITMAP* target, const KeySource& keys);
