// Recorded key input for a replay: which player's control goes down or up before which tick.
#pragma once

#include <string>
#include <vector>

#include "game/input.h"

// The keys of the game's default layout, by the names the key scripts use.
enum class KeySet { right_hand, left_hand }; // arrows and right modifiers; W A S D and left ones

struct KeyEvent {
    int tick;
    KeySet set;
    Action action;
    bool down;
};

// Parses lines of "TICK NAME +" or "TICK NAME -"; '#' starts a comment, blank lines are
// skipped. On a bad line returns false and sets `error` to a message naming its number.
bool parse_key_script(const std::string& text, std::vector<KeyEvent>& events, std::string& error);

// The player a key set plays in a game of `players`: the right-hand keys play the one-player
// game and player 2; the left-hand keys play player 1 of two, and nobody in a one-player game.
int player_of(KeySet set, int players);
