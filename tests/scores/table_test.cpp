// Ranking, insertion and the reading of score texts as numbers.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <random>
#include <string>

#include "scores/table.h"

namespace {

void set_table(std::initializer_list<const char*> scores)
{
    high_score_table = {};
    int i = 0;
    for (const char* s : scores) {
        std::string name = "name" + std::to_string(i);
        copy_field(high_score_table.name_texts[i], name.c_str());
        copy_field(high_score_table.score_texts[i], s);
        i++;
    }
}

class Ranking : public testing::Test {
protected:
    void SetUp() override { high_score_table = {}; }
    void TearDown() override { high_score_table = {}; }
};

} // namespace

TEST_F(Ranking, NewScoreGoesInFrontOfTheFirstEntryItEqualsOrBeats)
{
    set_table({"500", "300", "300", "100", "0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(high_score_rank(300), 1);
    EXPECT_EQ(high_score_rank(299), 3);
    EXPECT_EQ(high_score_rank(0), 4);
    EXPECT_EQ(high_score_rank(501), 0);
    EXPECT_EQ(high_score_rank(-1), -1);
}

TEST_F(Ranking, ScoreBelowEveryEntryDoesNotEnter)
{
    set_table({"50", "50", "50", "50", "50", "50", "50", "50", "50", "50"});
    EXPECT_EQ(high_score_rank(49), -1);
    EXPECT_EQ(high_score_rank(INT32_MIN), -1);
    EXPECT_EQ(high_score_rank(50), 0);
}

TEST_F(Ranking, EmptyTableTakesEveryScoreOfZeroOrMoreAtTheTop)
{
    EXPECT_EQ(high_score_rank(0), 0);
    EXPECT_EQ(high_score_rank(INT32_MAX), 0);
    EXPECT_EQ(high_score_rank(-1), -1);
}

TEST_F(Ranking, HandEditedOrderIsUsedAsItStands)
{
    set_table({"10", "900", "5", "0", "0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(high_score_rank(20), 0);
    EXPECT_EQ(high_score_rank(7), 2);
}

TEST_F(Ranking, InsertAtTopMovesEveryEntryDownAndDropsTheLast)
{
    set_table({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    HighScoreTable before = high_score_table;
    insert_high_score(0, "Ada", 95);
    EXPECT_STREQ(high_score_table.name_texts[0], "Ada");
    EXPECT_STREQ(high_score_table.score_texts[0], "95");
    for (int j = 1; j < high_score_count; j++) {
        EXPECT_STREQ(high_score_table.name_texts[j], before.name_texts[j - 1]) << j;
        EXPECT_STREQ(high_score_table.score_texts[j], before.score_texts[j - 1]) << j;
    }
}

TEST_F(Ranking, InsertAtLastPlaceOnlyReplacesIt)
{
    set_table({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    HighScoreTable before = high_score_table;
    insert_high_score(9, "Bo", 7);
    EXPECT_STREQ(high_score_table.name_texts[9], "Bo");
    EXPECT_STREQ(high_score_table.score_texts[9], "7");
    EXPECT_EQ(std::memcmp(high_score_table.name_texts, before.name_texts, 9 * score_field_size), 0);
    EXPECT_EQ(std::memcmp(high_score_table.score_texts, before.score_texts, 9 * score_field_size), 0);
}

TEST_F(Ranking, TieRanksAboveTheOlderEntry)
{
    set_table({"500", "300", "300", "100", "0", "0", "0", "0", "0", "0"});
    insert_high_score(high_score_rank(300), "New", 300);
    EXPECT_STREQ(high_score_table.name_texts[1], "New");
    EXPECT_STREQ(high_score_table.name_texts[2], "name1");
    EXPECT_STREQ(high_score_table.name_texts[3], "name2");
}

TEST_F(Ranking, InsertOutsideTheTableChangesNothing)
{
    set_table({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    HighScoreTable before = high_score_table;
    insert_high_score(-1, "X", 1);
    insert_high_score(high_score_count, "X", 1);
    EXPECT_EQ(std::memcmp(&high_score_table, &before, sizeof before), 0);
}

TEST_F(Ranking, LongNameIsCutToItsFieldAndTouchesNoOtherEntry)
{
    set_table({"90", "80", "70", "60", "50", "40", "30", "20", "10", "5"});
    HighScoreTable before = high_score_table;
    const char* long_name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
    insert_high_score(3, long_name, 65);
    EXPECT_EQ(std::string(high_score_table.name_texts[3]), std::string(long_name, score_field_chars));
    EXPECT_STREQ(high_score_table.score_texts[3], "65");
    EXPECT_STREQ(high_score_table.name_texts[4], before.name_texts[3]);
    EXPECT_STREQ(high_score_table.score_texts[2], before.score_texts[2]);
}

TEST_F(Ranking, ExtremeScoresAreWrittenWholeAndReadBack)
{
    for (int32_t score : {INT32_MIN, INT32_MAX, -1, 0, 1234567}) {
        insert_high_score(0, "x", score);
        EXPECT_EQ(score_value(high_score_table.score_texts[0]), score);
        EXPECT_EQ(std::atoi(high_score_table.score_texts[0]), score);
    }
}

// Every text whose number fits counts exactly as atoi counts it.
TEST(ScoreText, CountsAsAtoiWhereTheNumberFits)
{
    for (const char* text : {"007", "abc", "-5", "", "  42", "+3", "12abc", " -0", "\t9", "0x10",
                             "2147483647", "-2147483648", "- 4", "1e5", "\n8"}) {
        EXPECT_EQ(score_value(text), std::atoi(text)) << '"' << text << '"';
    }
}

TEST(ScoreText, NumbersBeyondInt32AreHeldAtItsEnds)
{
    EXPECT_EQ(score_value("2147483648"), INT32_MAX);
    EXPECT_EQ(score_value("99999999999999999999999"), INT32_MAX);
    EXPECT_EQ(score_value("-2147483649"), INT32_MIN);
    EXPECT_EQ(score_value("-99999999999"), INT32_MIN);
}

TEST_F(Ranking, TooBigScoreTextRanksAsTheLargestAndTooSmallAsTheSmallest)
{
    set_table({"2147483648", "0", "0", "0", "0", "0", "0", "0", "0", "0"});
    EXPECT_EQ(high_score_rank(2000000000), 1);
    EXPECT_EQ(high_score_rank(INT32_MAX), 0);

    set_table({"-2147483649", "-2147483649", "-2147483649", "-2147483649", "-2147483649",
               "-2147483649", "-2147483649", "-2147483649", "-2147483649", "-2147483649"});
    EXPECT_EQ(high_score_rank(INT32_MIN), 0);
    EXPECT_EQ(high_score_rank(-7), 0);
}

// A long seeded run: whatever arrives, entries placed by the ranking rule stay in
// descending order, and only scores that beat or equal the last entry get in.
TEST_F(Ranking, RandomArrivalsKeepTheTableDescending)
{
    set_table({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0"});
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int32_t> any_score(-50, 5000);
    for (int n = 0; n < 5000; n++) {
        int32_t score = any_score(random);
        int32_t last = score_value(high_score_table.score_texts[high_score_count - 1]);
        int rank = high_score_rank(score);
        ASSERT_EQ(rank >= 0, score >= last) << score;
        insert_high_score(rank, "r", score);
        for (int i = 1; i < high_score_count; i++)
            ASSERT_GE(score_value(high_score_table.score_texts[i - 1]),
                      score_value(high_score_table.score_texts[i]));
    }
}
