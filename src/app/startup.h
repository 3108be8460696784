// Bringing up the library, the tick clock, the screen and the datafile.
#pragma once

// Each returns nullptr on success or a message saying what failed.
const char* start_library();
const char* set_screen_mode();

// Reports a start-up failure on standard error and ends the program with status 1.
[[noreturn]] void fail_start(const char* message);
