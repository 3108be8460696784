// Lines, shapes, chains: what clears, what it scores, what waits.
#include <gtest/gtest.h>

#include "game/popups.h"
#include "scenario.h"

namespace {

int popup_count()
{
    return static_cast<int>(std::distance(popup_list.begin(), popup_list.end()));
}

TEST(Matching, FiveInARowClearAsOneLineAndScoreOnce)
{
    Scenario s;
    s.set_well({"RRRRRG", "GBYRGB"});
    s.tick();
    EXPECT_EQ(s.states(11), "ccccc-");
    EXPECT_EQ(s.player().score, 10);
    EXPECT_EQ(s.player().chain, 1);
    EXPECT_EQ(count_groups(s.player()), 1);
    EXPECT_EQ(popup_count(), 1);
}

TEST(Matching, TwoLinesOnOneTickShareOneScoreGroupAndPopup)
{
    Scenario s;
    s.player().well_x = 64;
    s.player().well_y = 48;
    s.set_well({".BBBY.", "GGGYRY", "BYPRGB"});
    s.tick();
    EXPECT_EQ(s.states(10), "-ccc--");
    EXPECT_EQ(s.states(11), "ccc---");
    EXPECT_EQ(s.player().score, 10);
    ASSERT_EQ(count_groups(s.player()), 1);
    int cells = 0;
    for (const GroupCell* c = s.player().groups->cells; c; c = c->next)
        cells++;
    EXPECT_EQ(cells, 6);
    ASSERT_EQ(popup_count(), 1);
    // One cell above the top-left-most matched block (10,1), moved once already.
    EXPECT_EQ(popup_list.front().x, 1 * 32 + 64);
    EXPECT_EQ(popup_list.front().y, 10 * 32 + 48 - 32 - 1);
}

TEST(Matching, AnLWithThreeAboveTheCornerClearsBothLines)
{
    Scenario s;
    s.set_well({"R.....", "R.....", "R.....", "RRRGBY", "GBYRGB"});
    s.tick();
    for (int row = 8; row <= 10; row++)
        EXPECT_EQ(s.states(row), "c-----") << "row " << row;
    EXPECT_EQ(s.states(11), "ccc---");
    EXPECT_EQ(s.player().score, 10);
}

TEST(Matching, ATWithTwoAboveTheLineClearsOnlyTheLine)
{
    Scenario s;
    s.set_well({".R....", ".R....", "RRRGBY", "GBYRGB"});
    s.tick();
    EXPECT_EQ(s.states(9), "------");
    EXPECT_EQ(s.states(10), "------");
    EXPECT_EQ(s.states(11), "ccc---");
}

TEST(Matching, ACrossClearsTheRowAndNeitherShortArm)
{
    Scenario s;
    s.set_well({".G....", "GGG...", "BGP...", "YBYRGB", "GBYRGB"});
    s.tick();
    EXPECT_EQ(s.states(9), "ccc---");
    EXPECT_EQ(s.states(8), "------");
    EXPECT_EQ(s.states(10), "------");
}

TEST(Matching, OnlyIdleBlocksMatch)
{
    // The R dropping through row 9 passes between two Rs without clearing them.
    Scenario s;
    s.set_well({".R....", "R.R...", "B.B...", "GBYRGB", "BYPRGB"});
    s.run(40);
    EXPECT_EQ(s.colors(9), "R.R...");
    EXPECT_EQ(s.colors(10), "BRB...");
    EXPECT_EQ(s.player().score, 0);
    EXPECT_EQ(count_groups(s.player()), 0);
}

TEST(Matching, ABlockOnAClearingBlockWaitsThenHoversAndFalls)
{
    Scenario s;
    s.set_well({"Y.....", "RRRGBG", "GBYRGB"});
    s.run(60);
    EXPECT_EQ(s.colors(10), "Y.....");
    EXPECT_EQ(s.states(10), "------") << "waits the whole clear";
    EXPECT_EQ(s.colors(11), "...GBG");
    s.tick();
    EXPECT_EQ(s.states(10), "h-----");
    s.run(17);
    EXPECT_EQ(s.colors(10), "Y.....") << "tick 78";
    s.tick();
    EXPECT_EQ(s.colors(11), "Y..GBG") << "tick 79";
    EXPECT_EQ(s.states(11), "------");
}

// Each clear lets blocks fall into the next line: 10, then 20, then 40.
TEST(Matching, ChainsDoubleTheScore)
{
    Scenario s;
    s.set_well({"GYYB..", "YBBRRR", "BYPRGB"});
    s.tick();
    EXPECT_EQ(s.player().score, 10);
    EXPECT_EQ(s.player().chain, 1);
    int ticks = 1;
    while (s.player().score == 10 && ticks < 400) {
        s.tick();
        ticks++;
    }
    EXPECT_EQ(s.player().score, 30);
    EXPECT_EQ(s.player().chain, 2);
    EXPECT_EQ(s.states(11), "-ccc--");
    while (s.player().score == 30 && ticks < 400) {
        s.tick();
        ticks++;
    }
    EXPECT_EQ(s.player().score, 70);
    EXPECT_EQ(s.player().chain, 3);
    EXPECT_EQ(s.states(11), "ccc---");
}

TEST(Matching, TheNextRiseStepEndsTheChain)
{
    Scenario s;
    s.set_well({"RRRGBG", "GBYRGB"});
    s.tick();
    s.run(59);
    ASSERT_EQ(s.player().busy, 0);
    EXPECT_EQ(s.player().chain, 1) << "the chain outlives its clear";
    s.player().rise_countdown = 0;
    s.tick();
    EXPECT_EQ(s.player().chain, 0);
    s.set_well({"BBBGYG", "GBYRGB"});
    s.tick();
    EXPECT_EQ(s.player().score, 20) << "a fresh chain scores 10 again";
}

TEST(Matching, TwoPlayersScoringTogetherGetAPopupEach)
{
    Scenario s(2);
    s.player(0).well_x = 32;
    s.player(1).well_x = 416;
    s.set_well({"RRRGBG", "GBYRGB"}, 0);
    s.set_well({"GYBBBG", "GBYRGB"}, 1);
    s.tick();
    EXPECT_EQ(s.player(0).score, 10);
    EXPECT_EQ(s.player(1).score, 10);
    ASSERT_EQ(popup_count(), 2);
    EXPECT_EQ(popup_list.front().x, 416 + 2 * 32) << "the newest is player 2's";
    EXPECT_EQ(std::next(popup_list.begin())->x, 32);
}

} // namespace
