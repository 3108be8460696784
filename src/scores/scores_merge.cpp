// Finding the entries a run added, and ranking them into a newer table.
#include "scores/scores_merge.h"

#include <cstring>

namespace {

bool same_entry(const HighScoreTable& a, int i, const HighScoreTable& b, int j)
{
    return std::strncmp(a.name_texts[i], b.name_texts[j], score_field_size) == 0 &&
           std::strncmp(a.score_texts[i], b.score_texts[j], score_field_size) == 0;
}

// Like insert_high_score, but the score keeps its text: an entry read as "007" stays "007".
void place(HighScoreTable& table, const char (&name)[score_field_size], const char (&score)[score_field_size])
{
    const int32_t value = score_value(score);
    const int rank = high_score_rank(table, value);
    insert_high_score(table, rank, name, value);
    if (rank >= 0)
        copy_field(table.score_texts[rank], score);
}

} // namespace

bool same_scores(const HighScoreTable& a, const HighScoreTable& b)
{
    for (int i = 0; i < high_score_count; i++)
        if (!same_entry(a, i, b, i))
            return false;
    return true;
}

HighScoreTable merged_scores(const HighScoreTable& before, const HighScoreTable& now, const HighScoreTable& disk)
{
    // Insertion keeps the entries read in their order and only drops them off the bottom, so
    // those that remain are met in order; everything between them was added.
    int added[high_score_count] = {};
    int added_count = 0;
    int next_read = 0;
    for (int i = 0; i < high_score_count; i++) {
        if (next_read < high_score_count && same_entry(now, i, before, next_read))
            next_read++;
        else
            added[added_count++] = i;
    }
    HighScoreTable merged = disk;
    // Lowest first, so that of two equal new scores the upper one goes in last and lands above.
    while (added_count > 0) {
        const int i = added[--added_count];
        place(merged, now.name_texts[i], now.score_texts[i]);
    }
    return merged;
}
