// The keyboard turned into the simulation's input records, one per player per tick.
#pragma once

#include <cstdint>

#include "app/pads.h"
#include "game/game.h"

// Up to four keys may do one action; 0 is no key.
constexpr int keys_per_action = 4;

struct ControlKeys {
    uint8_t keys[action_count][keys_per_action]; // KEY_* codes, in Action order
};

// Whose controls: the one-player game, or player 1 or 2 of a two-player game.
enum ControlSet : uint8_t { CONTROLS_ONE_PLAYER, CONTROLS_PLAYER1, CONTROLS_PLAYER2 };
constexpr int control_set_count = 3;

struct Controls {
    ControlKeys sets[control_set_count];
    PadBinding pads[control_set_count];
};

// The arrows and right Shift and Control for one player and for player 2; W A S D and the
// left Shift and Control for player 1. The first pad plays the one-player game and player 1,
// the second player 2: the left stick and the d-pad move, button 1 swaps, button 2 raises and
// button 8 (start on most pads) pauses.
Controls default_controls();

// The library's X11 keyboard driver presses the left Shift (Control) whenever the right
// one goes down, and releases both together. In a two-player game that would make player
// 2's swap or raise also player 1's. A left key that goes down within a tick of its right
// twin is taken as that echo and counts as up until it is released; a left key pressed on
// its own, or while the right one is already held, counts as usual.
struct ModifierEcho {
    struct Pair {
        uint8_t left, right;
        bool left_was_down, right_was_down, hiding;
        uint32_t right_down_at;
    };
    Pair pairs[2];
};

struct InputReader {
    Controls controls;
    ModifierEcho echo;
};

// The default controls, nothing seen yet.
InputReader make_input_reader(const Controls& controls = default_controls());
// Forgets what the echo filter has seen, for a new game.
void reset_input(InputReader& reader);
// The records of a game of `count` players from the keys and pads held now; `now` is the tick.
void read_inputs(InputReader& reader, int count, uint32_t now, TickInputs& inputs);
// The record of one set of controls, from a table of held keys (after the echo filter).
PlayerInput input_from_keys(const ControlKeys& set, const volatile char* held);
PlayerInput input_from_pad(const PadState& pad);
// Whose controls player `player` of a game of `count` players uses.
ControlSet control_set_of(int player, int count);
// Whether a pause button is held on a pad of the players of a game of `count`.
bool pad_pause_held(const Controls& controls, int count);
