// The "scores" text file of the working directory: twenty lines, a name and a score per entry.
#pragma once

constexpr const char* scores_file_name = "scores";
// New content is written here first and takes the old file's place only when complete.
constexpr const char* scores_temp_name = "scores.tmp";
constexpr const char* default_score_name = "Pelmorix";
constexpr int default_score = 0;

// Fills the table from "scores", first creating the file with ten default entries
// when it is missing. When it cannot be created or read, the table stays as it was.
void load_scores();

// Writes the whole table to "scores". The old file stays untouched unless the new one
// was written in full.
void save_scores();

// Fills the table from the file at `path` without creating anything; each line gives
// one field, read by the library's pack_fgets with a limit of 20 bytes.
void read_scores(const char* path);
