// Checks of a font object in each layout the library reads.
#pragma once

#include "app/datafile_bytes.h"

// nullptr when the library's font loader finds a whole font in `in` (fixed-size, proportional or
// glyph-range layout); otherwise the reason, worded to follow "object N ". `end_seen`: the
// library reports the end of the bytes once the last one is read (see ObjectBody).
const char* check_font(ByteReader in, bool end_seen);
