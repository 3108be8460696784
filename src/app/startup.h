// Bringing up the library, the tick clock and the sound.
#pragma once

// nullptr on success or a message saying what failed.
const char* start_library();

// Reports a start-up failure on standard error and ends the program with status 1.
[[noreturn]] void fail_start(const char* message);
