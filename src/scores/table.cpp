// Ranking and inserting high scores; the table is never sorted, only placed into.
#include "scores/table.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int32_t score_value(const char* text)
{
    // atoi is strtol cut to int; a hand-edited "2147483648" would wrap to the smallest
    // score, so the long is held to the int32 range instead.
    long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

void copy_field(char (&field)[score_field_size], const char* text)
{
    size_t length = strnlen(text, score_field_chars);
    std::memcpy(field, text, length);
    field[length] = '\0';
}

int high_score_rank(const HighScoreTable& table, int32_t score)
{
    for (int i = 0; i < high_score_count; i++)
        if (score >= score_value(table.score_texts[i]))
            return i;
    return -1;
}

void insert_high_score(HighScoreTable& t, int rank, const char* name, int32_t score)
{
    if (rank < 0 || rank >= high_score_count)
        return;
    // Bottom up, so each entry has moved before its place is overwritten.
    for (int j = high_score_count - 1; j > rank; j--) {
        std::memcpy(t.name_texts[j], t.name_texts[j - 1], score_field_size);
        std::memcpy(t.score_texts[j], t.score_texts[j - 1], score_field_size);
    }
    copy_field(t.name_texts[rank], name);
    std::snprintf(t.score_texts[rank], score_field_size, "%i", static_cast<int>(score));
}
