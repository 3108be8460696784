// Ranking, insertion, score texts read as numbers, and the name-entry rule key by key.
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "scores/name_edit.h"
#include "scores/table.h"

namespace {

using Scores = std::vector<const char*>;

// Names "n0".."n9" with the given score texts; entries past them stay empty.
HighScoreTable table_with(const Scores& scores)
{
    HighScoreTable table = {};
    for (size_t i = 0; i < scores.size(); i++) {
        copy_field(table.name_texts[i], ("n" + std::to_string(i)).c_str());
        copy_field(table.score_texts[i], scores[i]);
    }
    return table;
}

// Starts a name as `start`, applies each code; the name, and whether the last code confirmed it.
std::pair<std::string, bool> typed(const std::string& start, const std::string& codes)
{
    char name[score_field_size];
    copy_field(name, start.c_str());
    bool done = false;
    for (char c : codes)
        done = edit_name(name, static_cast<unsigned char>(c));
    return {name, done};
}

} // namespace

TEST(Ranking, NewScoreGoesInFrontOfTheFirstEntryItEqualsOrBeats)
{
    const Scores with_tie = {"500", "300", "300", "100", "0", "0", "0", "0", "0", "0"}, full_of_50(high_score_count, "50");
    const Scores out_of_range = {"2147483648", "0", "0", "0", "0", "0", "0", "0", "0", "-2147483649"};
    const struct { Scores table; int32_t score; int rank; } rows[] = {
        {with_tie, 300, 1}, {with_tie, 299, 3}, {with_tie, 0, 4}, {with_tie, -1, -1}, // a tie ranks above
        {full_of_50, 49, -1}, {full_of_50, 50, 0}, {{}, 0, 0}, {{}, -1, -1},           // empty texts count 0
        {out_of_range, 2000000000, 1}, {out_of_range, -2000000000, 9}, {out_of_range, INT32_MIN, 9},
    };
    for (const auto& row : rows)
        EXPECT_EQ(high_score_rank(table_with(row.table), row.score), row.rank) << row.score << " over " << (row.table.empty() ? "" : row.table[0]);
}

TEST(Ranking, InsertMovesLaterEntriesDownDropsTheLastAndCutsALongName)
{
    HighScoreTable table = table_with({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    HighScoreTable before = table;
    insert_high_score(table, 0, "Ada", 95);
    EXPECT_STREQ(table.name_texts[0], "Ada");
    EXPECT_STREQ(table.score_texts[0], "95");
    for (int j = 1; j < high_score_count; j++)
        EXPECT_STREQ(table.score_texts[j], before.score_texts[j - 1]) << j;

    before = table;
    insert_high_score(table, 9, "Bo", 7);
    EXPECT_STREQ(table.name_texts[9], "Bo");
    EXPECT_EQ(std::memcmp(table.score_texts, before.score_texts, 9 * score_field_size), 0);

    before = table;
    insert_high_score(table, high_score_count, "X", 1); // outside the table: nothing happens
    EXPECT_EQ(std::memcmp(&table, &before, sizeof before), 0);

    const char* long_name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
    insert_high_score(table, 3, long_name, INT32_MIN);
    EXPECT_EQ(std::string(table.name_texts[3]), std::string(long_name, score_field_chars));
    EXPECT_EQ(score_value(table.score_texts[3]), INT32_MIN);
    EXPECT_STREQ(table.name_texts[4], before.name_texts[3]);
}

TEST(ScoreText, CountsAsAtoiWhereTheNumberFitsAndIsHeldToInt32Beyond)
{
    for (const char* text : {"007", "abc", "-5", "", "  42", "+3", "12abc", "\t9", "0x10", "- 4",
                             "2147483647", "-2147483648"})
        EXPECT_EQ(score_value(text), std::atoi(text)) << '"' << text << '"';
    for (const char* text : {"2147483648", "99999999999999999999999"})
        EXPECT_EQ(score_value(text), INT32_MAX) << text;
    for (const char* text : {"-2147483649", "-99999999999"})
        EXPECT_EQ(score_value(text), INT32_MIN) << text;
}

// Whatever arrives, entries placed by the ranking rule keep the table descending.
TEST(Ranking, RandomArrivalsKeepTheTableDescending)
{
    HighScoreTable table = table_with(Scores(high_score_count, "0"));
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int32_t> any_score(-50, 5000);
    for (int n = 0; n < 5000; n++) {
        int32_t score = any_score(random);
        int rank = high_score_rank(table, score);
        ASSERT_EQ(rank >= 0, score >= score_value(table.score_texts[9])) << score;
        insert_high_score(table, rank, "r", score);
        for (int i = 1; i < high_score_count; i++)
            ASSERT_GE(score_value(table.score_texts[i - 1]), score_value(table.score_texts[i]));
    }
}

TEST(NameEntry, LettersAndSpacesAppendUpTo18BackspaceTakesOneAndEnterConfirmsANonEmptyName)
{
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", bs(1, key_code_backspace);
    const std::string full = letters.substr(0, max_typed_name);
    const struct { std::string start, codes, name; bool confirmed; } rows[] = {
        {"Player 1", " Zed q", "Player 1 Zed q", false}, {"Ab", bs, "A", false}, {"Ab", bs + bs + bs, "", false},
        {"", letters, full, false}, {full, "x y", full, false}, {full, "\r", full, true},
        {full, bs + "st", full.substr(0, max_typed_name - 1) + "s", false},
        {"ABCDEFGHIJKLMNOPQRS", "T", "ABCDEFGHIJKLMNOPQRS", false}, // a 19-character label never lengthens
        {"Player 1", "\r", "Player 1", true}, {"", "\r", "", false}, {"", "\rQ\r", "Q", true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(typed(row.start, row.codes), std::make_pair(row.name, row.confirmed))
            << '"' << row.start << "\" + \"" << row.codes << '"';
    for (int code = 0; code < 256; code++) {
        if ((std::isalpha(code) && code < 128) || code == ' ' || code == key_code_backspace || code == key_code_enter)
            continue;
        EXPECT_EQ(typed("Player 2", std::string(1, static_cast<char>(code))), std::make_pair(std::string("Player 2"), false))
            << "code " << code;
    }
}

// The buffer comes from outside; a missing terminator must not lead past its 20 bytes.
TEST(NameEntry, BufferWithoutTerminatorIsCutNotOverrun)
{
    char name[score_field_size];
    std::memset(name, 'x', sizeof name);
    edit_name(name, key_code_backspace);
    EXPECT_EQ(std::strlen(name), static_cast<size_t>(score_field_chars - 1));
}
