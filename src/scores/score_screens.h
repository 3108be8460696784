// The name-entry screen for a new high score and the high-score table screen, both laid
// over whatever the display shows and leaving it exactly as they found it.
#pragma once

#include <cstdint>

#include "app/screen_io.h"
#include "scores/table.h"

// Runs the name entry, in player order, for each of the `count` final scores that enters the
// table; each entry is in the table before the next player's rank is asked. Returns how many
// entered, with the entries in `entered`.
int enter_high_scores(const ScreenIo& io, HighScoreTable& table, const int32_t* scores, int count,
                      HighScoreEntry* entered);
// Offers the name entry for `score`, the name buffer starting as `name`; enters the score
// once a name is confirmed, and copies the entry to `entered`. Nothing is shown, and false
// returned, when the score does not enter (or the screen cannot be made).
bool enter_high_score(const ScreenIo& io, HighScoreTable& table, const char* name, int32_t score,
                      HighScoreEntry& entered);
// Shows the table until a key is pressed.
void show_high_scores(const ScreenIo& io, const HighScoreTable& table);
