// Fuzz targets read their input from a file, as the game does; this gives them a folder of their own.
#pragma once

#include <cstddef>
#include <cstdint>

// Starts the library without a display and moves into a fresh temporary folder (once per process).
void start_in_temp_dir();

// Replaces the file `name` in the current folder with the given bytes.
void write_input(const char* name, const uint8_t* data, size_t size);
