// The player's settings: "blockrise.cfg" beside the scores, read through the library's own
// config functions. Everything in it is optional; without it the game plays as it always has.
#pragma once

#include <string>
#include <vector>

#include "app/display.h"
#include "screens/input.h"

constexpr const char* settings_file_name = "blockrise.cfg";

struct Settings {
    Controls controls = default_controls();
    DisplayRequest display;
    bool low_power = false;  // wait between ticks instead of spinning
    int music_volume = -1;   // 0-255; -1 leaves the library's level alone
    int effects_volume = -1;
};

// Reads the settings at `path`. An entry, section or value it does not know leaves the default
// in place and adds one line to `warnings` naming the section, the entry and the value.
Settings read_settings(const char* path, std::vector<std::string>& warnings);
