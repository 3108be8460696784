// The "scores" text file of the working directory: twenty lines, a name and a score per entry.
#pragma once

#include <string>

#include "scores/table.h"

constexpr const char* scores_file_name = "scores";
constexpr const char* default_score_name = "Pelmorix";
constexpr int default_score = 0;

// What a run knows of "scores" beyond its table: the table the file held when this run last
// read or wrote it, which tells the run's own new entries from those another instance of the
// game saved since; and the last problem reported, so that it is reported once.
struct ScoresFile {
    HighScoreTable as_read = {};
    std::string last_report;
};

// Fills `table` from "scores" (through a symlink to its target), first creating the file with
// ten default entries when it is missing, and remembers in `file` what was read. When the file
// cannot be created or read, or is no regular file, the table is left empty, the file is left
// as it is, and one line on stderr says why.
void load_scores(HighScoreTable& table, ScoresFile& file);

// Brings "scores" up to date with the entries `table` gained since `file` last saw the file:
// nothing at all when there are none. Under a lock shared with other instances, those entries
// are ranked into the table the file holds now, which is written and becomes `table`. The old
// file stays byte for byte unless the new one was written in full, and is never replaced when
// it could not be read or is not writable; each refusal or failure says so on stderr.
void save_scores(HighScoreTable& table, ScoresFile& file);

