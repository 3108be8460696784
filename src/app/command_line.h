// What the program is asked to do on its command line.
#pragma once

#include <string>

#include "app/display.h"

struct CommandLine {
    bool help = false;
    bool version = false;
    // Display settings given here win over the settings file's.
    bool mode_given = false;
    DisplayMode mode = DisplayMode::automatic;
    bool scale_given = false;
    int scale = 1; // 1-4 or scale_to_fit
    std::string replay; // --replay FILE: watch a recorded game instead of playing
    // --host [PORT] waits for an opponent on another machine; --join HOST[:PORT] joins one.
    bool host = false;
    std::string join;   // the host's name or address
    int port = 0;       // 0: the game's own port
};

// Fills `line` from the arguments; false, with `problem` saying why, on anything it does not
// know (the program then prints the usage and exits with status 2).
bool parse_command_line(int argc, const char* const* argv, CommandLine& line, std::string& problem);

// The text --help prints.
const char* usage_text();
const char* version_text();
