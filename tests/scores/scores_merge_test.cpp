// Finding a game's new entries and ranking them into a table another game saved meanwhile.
#include <gtest/gtest.h>

#include "scores/scores_merge.h"
#include "scores/scores_text.h"
#include "scores_files.h"

namespace {

const Entries sample = sample_entries();

} // namespace

TEST(ScoresMerge, NewEntriesAreRankedIntoTheTableOnDisk)
{
    const struct {
        const char* what;
        Entries before, now, disk, merged;
    } rows[] = {
        {"disk as read", {{"A", "100"}, {"B", "50"}}, {{"A", "100"}, {"N", "70"}, {"B", "50"}},
         {{"A", "100"}, {"B", "50"}}, {{"A", "100"}, {"N", "70"}, {"B", "50"}}},
        {"one new entry each", {{"A", "100"}, {"B", "50"}}, {{"A", "100"}, {"N", "70"}, {"B", "50"}},
         {{"A", "100"}, {"O", "60"}, {"B", "50"}}, {{"A", "100"}, {"N", "70"}, {"O", "60"}, {"B", "50"}}},
        {"a tie puts ours above", {{"A", "100"}}, {{"A", "100"}, {"N", "60"}},
         {{"A", "100"}, {"O", "60"}}, {{"A", "100"}, {"N", "60"}, {"O", "60"}}},
        {"two of ours keep their order", {{"A", "100"}}, {{"A", "100"}, {"N2", "60"}, {"N1", "60"}},
         {{"A", "100"}, {"O", "80"}}, {{"A", "100"}, {"O", "80"}, {"N2", "60"}, {"N1", "60"}}},
        {"ours at the top and the bottom", {{"A", "100"}, {"B", "50"}},
         {{"T", "200"}, {"A", "100"}, {"B", "50"}, {"Z", "1"}}, {{"A", "100"}, {"O", "80"}, {"B", "50"}},
         {{"T", "200"}, {"A", "100"}, {"O", "80"}, {"B", "50"}, {"Z", "1"}}},
        {"texts on disk stay as they are", {{"A", "100"}}, {{"A", "100"}, {"N", "70"}},
         {{"A", "100"}, {"C", "007"}, {"D", "x"}}, {{"A", "100"}, {"N", "70"}, {"C", "007"}, {"D", "x"}}},
        {"nothing read: all ours are new", {}, {{"N", "70"}}, {{"A", "100"}, {"B", "50"}},
         {{"A", "100"}, {"N", "70"}, {"B", "50"}}},
        {"no room left for ours", sample, with_entry(sample, 9, "N", "15"),
         with_entry(with_entry(sample, 0, "O", "500"), 0, "P", "600"),
         with_entry(with_entry(sample, 0, "O", "500"), 0, "P", "600")},
        {"the other pushed ours down", sample, with_entry(sample, 8, "N", "25"),
         with_entry(sample, 0, "O", "500"), with_entry(with_entry(sample, 0, "O", "500"), 9, "N", "25")},
    };
    for (const auto& row : rows) {
        const HighScoreTable merged =
            merged_scores(table_of(row.before), table_of(row.now), table_of(row.disk));
        EXPECT_EQ(scores_text(merged), scores_text(table_of(row.merged))) << row.what;
    }
}

TEST(ScoresMerge, TablesAreTheSameByTheirTextsAlone)
{
    const HighScoreTable a = table_of(sample);
    HighScoreTable past_end = a, name_differs = a, score_differs = a;
    past_end.name_texts[3][5] = 'j'; // after the terminator
    copy_field(name_differs.name_texts[9], "n9 ");
    copy_field(score_differs.score_texts[0], "0100");
    EXPECT_TRUE(same_scores(a, past_end));
    EXPECT_FALSE(same_scores(a, name_differs));
    EXPECT_FALSE(same_scores(a, score_differs));
}
