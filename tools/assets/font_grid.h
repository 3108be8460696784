// The grid picture from which the datafile tool imports a one-colour font.
#pragma once

#include "text.h"

#include <string>

// Glyphs from space to '~', each in its own cell of an 8-bit picture: colour 255
// between cells, 0 for the background and 1 for ink. False if it cannot be saved.
bool save_font_grid(Typeface* face, int pixel_size, const std::string& path);
