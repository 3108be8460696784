// Checks of an RLE sprite object against what the library's reader writes and later draws.
#pragma once

#include "app/datafile_bytes.h"

// nullptr when the library's RLE sprite reader stays inside the memory the sprite asks for and
// every line it stores ends where the library's drawing code expects; otherwise the reason,
// worded to follow "object N ".
const char* check_rle_sprite(ByteReader in);
