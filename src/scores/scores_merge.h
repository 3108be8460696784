// Telling a run's new entries from the ones it read, and placing them into a table that
// another instance of the game saved in the meantime.
#pragma once

#include "scores/table.h"

// Entry by entry, the same names and score texts (bytes past a terminator do not count).
bool same_scores(const HighScoreTable& a, const HighScoreTable& b);

// `now` is `before` with entries put in by the ranking rule. Returns `disk` with those same
// entries put into it by the same rule, their texts unchanged: of two equal scores the one
// put in later ranks above. An entry put in that matches, name and score, the next surviving
// entry of `before` cannot be told from it and counts as read.
HighScoreTable merged_scores(const HighScoreTable& before, const HighScoreTable& now, const HighScoreTable& disk);
