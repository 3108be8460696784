// Driving the program from screen to screen the way a player would, checking each screen appears.
#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "harness/process.h"
#include "harness/x_screen.h"

// Generous: the machine running the tests may be slow and busy.
constexpr double window_timeout_s = 30;
constexpr double screen_timeout_s = 20;
constexpr double game_over_timeout_s = 30; // overlay, a three-second pause, then the name entry
constexpr double exit_timeout_s = 30;

struct Driver {
    XScreen& x;
    GameProcess& game;
};

// Waits for the condition on screen; fails early if the program ends meanwhile.
testing::AssertionResult wait_screen(Driver d, bool (*shown)(const Frame&), const char* what,
                                     double seconds = screen_timeout_s);

// The opening starfield is up once the 640x480 window is mapped; a key there leads to the menu.
testing::AssertionResult wait_for_window(Driver d);
testing::AssertionResult leave_starfield(Driver d);

// From the menu: "1" or "2" starts a game; returns once the menu is gone.
testing::AssertionResult start_game_from_menu(Driver d, int players);

// A few cursor moves and swaps with the given player's keys (one-player set when players == 1).
void make_some_swaps(Driver d, int player_keys_of);

// Holds Escape long enough for the game loop to see it.
void hold_escape(Driver d);

// The name entry for one player: waits for it, replaces the offered label by `name`
// (left as offered when `name` is empty) and confirms with Enter.
testing::AssertionResult enter_name(Driver d, const std::string& name,
                                    double wait_seconds = game_over_timeout_s);

// The table screen: waits for it and leaves it with a key, back to the menu.
testing::AssertionResult leave_table(Driver d);

// Escape in the menu, then a key on the farewell starfield; waits for the program to end.
testing::AssertionResult quit_from_menu(Driver d);

// One game of a session as the tests play it: a fresh table ranks every score, so each
// player gets a name entry.
struct PlannedGame {
    int players;
    std::vector<std::string> names; // one per player
};

// Opening starfield, the games in turn (each ended with Escape), then quit and farewell.
testing::AssertionResult play_session(Driver d, const std::vector<PlannedGame>& games);
