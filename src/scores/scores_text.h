// The bytes of a scores file and the table they stand for: a line per field, name then score.
#pragma once

#include <string>

#include "scores/table.h"

// Fills every field of `table` from `bytes` as the library's pack_fgets reads a file, with a
// limit of 20 bytes a field: a longer line goes on into the next field, CR, LF and CR-LF all
// end a line, and every byte else is kept as it is. Fields past the end of the bytes are empty.
void read_scores_text(HighScoreTable& table, const std::string& bytes);

// The table as the file holds it: each field's bytes, at most 19 of them, and "\n".
std::string scores_text(const HighScoreTable& table);
