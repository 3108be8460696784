// Game pads, read through the library's joystick driver.
#pragma once

#include <cstdint>

constexpr int max_sticks = 8;

// How one pad plays: which pad (0 none, 1 the first), which of its sticks move the cursor
// (bit n: stick n + 1), and its buttons counted from 1 (0 none).
struct PadBinding {
    uint8_t pad;
    uint8_t move_sticks;
    uint8_t swap, raise, pause;
};

// What a pad does right now.
struct PadState {
    bool up, down, left, right;
    bool swap, raise, pause;
};

// Starts the joystick driver. A machine without pads says nothing and plays as before.
void start_pads();
// Reads every pad once; the states below are as of the last poll.
void poll_pads();
// What the bound pad does; all false when it is not there.
PadState pad_state(const PadBinding& binding);

// The pad that drives the menus and the name entry: its moving sticks go up and down, its
// swap button confirms. Set once from the settings.
void set_menu_pad(const PadBinding& binding);
// A new press on the menu pad since the last call, as readkey would give it, or 0.
int menu_pad_key();
// Takes what the menu pad holds now as already seen: only later presses count.
void forget_menu_pad();
