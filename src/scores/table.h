// The ten best scores with their players' names, and the rules that rank and insert them.
#pragma once

#include <cstdint>

constexpr int high_score_count = 10;
constexpr int score_field_size = 20; // bytes of each text field, terminator included
constexpr int score_field_chars = score_field_size - 1;

// Entry 0 is the best. Scores stay the text they were read as; only ranking turns
// them into numbers, so "007" is shown and saved as "007".
struct HighScoreTable {
    char name_texts[high_score_count][score_field_size];
    char score_texts[high_score_count][score_field_size];
};

// One entry as the table holds it.
struct HighScoreEntry {
    char name[score_field_size];
    char score[score_field_size];
};

// The index 0-9 at which `score` enters the table, or -1. A tie ranks above the older entry.
int high_score_rank(const HighScoreTable& table, int32_t score);

// Moves the entries from `rank` down one place, dropping the last, and puts the new
// one at `rank`. A rank outside 0-9 changes nothing.
void insert_high_score(HighScoreTable& table, int rank, const char* name, int32_t score);

// What a score text counts as: the number at its start as atoi reads it, held to the
// int32 range when the text names a bigger one; 0 when it does not start with a number.
int32_t score_value(const char* text);

// Copies `text` into a field, keeping at most its first 19 bytes.
void copy_field(char (&field)[score_field_size], const char* text);
