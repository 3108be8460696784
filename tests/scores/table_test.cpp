// Ranking, insertion and the reading of score texts as numbers.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "scores/table.h"

namespace {

// Names "n0".."n9" with the given score texts.
void set_table(const std::vector<const char*>& scores)
{
    high_score_table = {};
    for (size_t i = 0; i < scores.size(); i++) {
        copy_field(high_score_table.name_texts[i], ("n" + std::to_string(i)).c_str());
        copy_field(high_score_table.score_texts[i], scores[i]);
    }
}

struct Ranking : testing::Test {
    void TearDown() override { high_score_table = {}; }
};

} // namespace

TEST_F(Ranking, NewScoreGoesInFrontOfTheFirstEntryItEqualsOrBeats)
{
    set_table({"500", "300", "300", "100", "0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(high_score_rank(300), 1);
    EXPECT_EQ(high_score_rank(299), 3);
    EXPECT_EQ(high_score_rank(0), 4);
    EXPECT_EQ(high_score_rank(-1), -1);
    set_table(std::vector<const char*>(high_score_count, "50"));
    EXPECT_EQ(high_score_rank(49), -1);
    EXPECT_EQ(high_score_rank(50), 0);
    set_table({}); // empty texts count as 0
    EXPECT_EQ(high_score_rank(0), 0);
    EXPECT_EQ(high_score_rank(-1), -1);
}

TEST_F(Ranking, InsertMovesLaterEntriesDownAndDropsTheLast)
{
    set_table({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    HighScoreTable before = high_score_table;
    insert_high_score(0, "Ada", 95);
    EXPECT_STREQ(high_score_table.name_texts[0], "Ada");
    EXPECT_STREQ(high_score_table.score_texts[0], "95");
    for (int j = 1; j < high_score_count; j++)
        EXPECT_STREQ(high_score_table.score_texts[j], before.score_texts[j - 1]) << j;

    before = high_score_table;
    insert_high_score(9, "Bo", 7);
    EXPECT_STREQ(high_score_table.name_texts[9], "Bo");
    EXPECT_EQ(std::memcmp(high_score_table.score_texts, before.score_texts, 9 * score_field_size), 0);

    before = high_score_table;
    insert_high_score(high_score_count, "X", 1); // outside the table: nothing happens
    EXPECT_EQ(std::memcmp(&high_score_table, &before, sizeof before), 0);
}

TEST_F(Ranking, TieRanksAboveTheOlderEntry)
{
    set_table({"500", "300", "300", "100", "0", "0", "0", "0", "0", "0"});
    insert_high_score(high_score_rank(300), "New", 300);
    EXPECT_STREQ(high_score_table.name_texts[1], "New");
    EXPECT_STREQ(high_score_table.name_texts[2], "n1");
}

TEST_F(Ranking, LongNameIsCutToItsFieldAndTouchesNoOtherEntry)
{
    set_table({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    const char* long_name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
    insert_high_score(3, long_name, INT32_MIN);
    EXPECT_EQ(std::string(high_score_table.name_texts[3]), std::string(long_name, score_field_chars));
    EXPECT_EQ(score_value(high_score_table.score_texts[3]), INT32_MIN);
    EXPECT_STREQ(high_score_table.name_texts[4], "n3");
}

TEST(ScoreText, CountsAsAtoiWhereTheNumberFitsAndIsHeldToInt32Beyond)
{
    for (const char* text : {"007", "abc", "-5", "", "  42", "+3", "12abc", "\t9", "0x10", "- 4",
                             "2147483647", "-2147483648"})
        EXPECT_EQ(score_value(text), std::atoi(text)) << '"' << text << '"';
    EXPECT_EQ(score_value("2147483648"), INT32_MAX);
    EXPECT_EQ(score_value("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(score_value("-2147483649"), INT32_MIN);
    EXPECT_EQ(score_value("-99999999999"), INT32_MIN);
}

TEST_F(Ranking, TooBigScoreTextRanksAsTheLargestAndTooSmallAsTheSmallest)
{
    set_table({"2147483648", "0", "0", "0", "0", "0", "0", "0", "0", "-2147483649"});
    EXPECT_EQ(high_score_rank(2000000000), 1);
    EXPECT_EQ(high_score_rank(-2000000000), 9);
    EXPECT_EQ(high_score_rank(INT32_MIN), 9);
}

// Whatever arrives, entries placed by the ranking rule keep the table descending.
TEST_F(Ranking, RandomArrivalsKeepTheTableDescending)
{
    set_table(std::vector<const char*>(high_score_count, "0"));
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int32_t> any_score(-50, 5000);
    for (int n = 0; n < 5000; n++) {
        int32_t score = any_score(random);
        int rank = high_score_rank(score);
        ASSERT_EQ(rank >= 0, score >= score_value(high_score_table.score_texts[9])) << score;
        insert_high_score(rank, "r", score);
        for (int i = 1; i < high_score_count; i++)
            ASSERT_GE(score_value(high_score_table.score_texts[i - 1]), score_value(high_score_table.score_texts[i]));
    }
}
