// Headless tests: the library runs with its no-display driver and 16-bit memory bitmaps.
#pragma once

#include <allegro.h>

// A datafile of the catalogue's shape made in memory (plain coloured bitmaps, the
// built-in font, silent samples), so simulation and drawing tests need no generated file.
// Installs it as game_data; the colours of its bitmaps are documented in fake_data.cpp.
void install_fake_game_data();
void remove_fake_game_data();

// The fake tile strip's colour for tile n (n = 0 draws the mask colour).
int fake_tile_color(int n);
