// The game's two looping tunes, composed here and written as MIDI files.
#pragma once

#include <string>

// Calm and spacey, behind the starfield and logo.
bool save_starfield_tune(const std::string& path);
// Upbeat, for the two minutes of a game.
bool save_game_tune(const std::string& path);
