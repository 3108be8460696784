// Recorded key input for a replay: which key goes down or up before which tick.
#pragma once

#include <string>
#include <vector>

struct KeyEvent {
    int tick;
    int code;  // a KEY_* code
    bool down;
};

// Parses lines of "TICK NAME +" or "TICK NAME -"; '#' starts a comment, blank lines are
// skipped. On a bad line returns false and sets `error` to a message naming its number.
bool parse_key_script(const std::string& text, std::vector<KeyEvent>& events, std::string& error);

// The KEY_* code for a name such as "KEY_LEFT", or -1 if it is not a player key.
int player_key_code(const std::string& name);
