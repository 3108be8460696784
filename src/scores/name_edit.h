// What one key does to the name typed on the name-entry screen.
#pragma once

#include "scores/table.h"

constexpr int max_typed_name = 18; // typing stops here, one short of a full field
constexpr int key_code_backspace = 8;
constexpr int key_code_enter = 13;

// Applies the character code `code` (the low byte of readkey) to `name`: a letter or
// space is added while the name is shorter than 18 characters, Backspace takes the last
// character away, anything else changes nothing. True when `code` is Enter and the name
// is not empty: the name is confirmed.
bool edit_name(char (&name)[score_field_size], int code);
