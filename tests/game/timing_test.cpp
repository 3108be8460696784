// How long things take: swaps, clears, hovers, falls and the rising stack.
#include <gtest/gtest.h>

#include "scenario.h"

namespace {

TEST(Timing, SwapSlidesThreeTicksAndExchangesOnTheFourth)
{
    Scenario s;
    s.set_well({"RG.BYP", "GRBYPR", "BYPRGB"});
    s.player().cursor_x = 0;
    s.player().cursor_y = 10;
    const int slides[] = {8, 16, 24};
    for (int t = 0; t < 3; t++) {
        s.tick(t == 0 ? std::vector<int>{KEY_RSHIFT} : std::vector<int>{});
        EXPECT_EQ(s.colors(10), "RG.BYP") << "tick " << t + 1;
        EXPECT_EQ(s.states(10), "ss----");
        EXPECT_EQ(s.player().grid[10][0].slide_offset, slides[t]);
        EXPECT_EQ(s.player().grid[10][1].slide_offset, -slides[t]);
        EXPECT_NE(s.player().busy, 0);
    }
    s.tick();
    EXPECT_EQ(s.colors(10), "GR.BYP");
    EXPECT_EQ(s.states(10), "------");
    EXPECT_EQ(s.player().grid[10][0].slide_offset, 0);
    EXPECT_EQ(s.player().grid[10][1].slide_offset, 0);
    EXPECT_EQ(s.player().busy, 0);
    EXPECT_EQ(count_groups(s.player()), 0);
}

TEST(Timing, ClearEmptiesItsCellsOnItsSixtiethTick)
{
    Scenario s;
    s.set_well({"RRRGBY", "GBYRGB"});
    s.tick();
    EXPECT_EQ(s.states(11), "ccc---");
    s.run(58);
    EXPECT_EQ(s.colors(11), "RRRGBY") << "still clearing after 59 ticks";
    EXPECT_EQ(s.states(11), "ccc---");
    EXPECT_NE(s.player().busy, 0);
    s.tick();
    EXPECT_EQ(s.colors(11), "...GBY");
    EXPECT_EQ(s.states(11), "------");
    EXPECT_EQ(s.player().busy, 0);
}

TEST(Timing, ABlockOverAGapHoversSixteenTicksThenFallsTwoTicksARow)
{
    Scenario s;
    s.set_well({"R.....", "......", "GBYRGB", "BYPRGB"});
    for (int t = 1; t <= 16; t++) {
        s.tick();
        ASSERT_EQ(s.player().grid[9][0].state, CELL_HOVERING) << "tick " << t;
        EXPECT_EQ(s.player().grid[10][0].state, CELL_RESERVED);
    }
    s.tick();
    EXPECT_EQ(s.player().grid[9][0].state, CELL_FALLING);
    EXPECT_EQ(s.player().grid[9][0].fall_offset, 0);
    s.tick();
    EXPECT_EQ(s.player().grid[9][0].fall_offset, 16);
    EXPECT_EQ(s.colors(9), "R.....");
    s.tick();
    EXPECT_EQ(s.colors(9), "......");
    EXPECT_EQ(s.colors(10), "R.....");
    EXPECT_EQ(s.states(10), "------") << "lands on the full row below";
    EXPECT_EQ(s.player().grid[9][0].fall_offset, 0);
}

TEST(Timing, AColumnAboveAGapFallsTogetherOneRowEveryTwoTicks)
{
    Scenario s;
    s.set_well({"R.....", "G.....", "B.....", "......", "......", "YBYRGB", "BYPRGB"});
    s.run(17);
    for (int row = 6; row <= 8; row++)
        EXPECT_EQ(s.player().grid[row][0].state, CELL_FALLING) << "row " << row;
    s.run(2);
    EXPECT_EQ(s.colors(6), "......");
    EXPECT_EQ(s.colors(7), "R.....");
    EXPECT_EQ(s.colors(9), "B.....");
    EXPECT_EQ(s.states(9), "f-----");
    s.run(1);
    EXPECT_EQ(s.colors(9), "B.....") << "half way to the next row";
    s.run(1);
    for (int row = 8; row <= 10; row++)
        EXPECT_EQ(s.states(row), "------") << "row " << row;
    EXPECT_EQ(s.colors(8), "R.....");
    EXPECT_EQ(s.colors(10), "B.....");
}

TEST(Timing, FirstRowArrivesAfter1342TicksUntouched)
{
    Scenario s(1, 7);
    const auto start = s.well();
    s.run(1341);
    EXPECT_EQ(s.well(), start);
    EXPECT_EQ(s.player().rise, 31);
    s.tick();
    EXPECT_EQ(s.player().rise, 0);
    for (int row = 0; row < 12; row++)
        EXPECT_EQ(s.colors(row), start[row + 1]) << "row " << row;
    EXPECT_EQ(s.player().cursor_y, 4) << "the cursor stays on its blocks";
    EXPECT_EQ(s.player().score, 0);
}

TEST(Timing, HoldingRaiseGivesARowIn32TicksAndOnePoint)
{
    Scenario s;
    s.set_well({"GBYRGB", "BYPRGB"});
    s.player().rise = 0;
    s.run(31, {KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, 31);
    EXPECT_EQ(s.colors(11), "GBYRGB");
    s.tick({KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, 0);
    EXPECT_EQ(s.colors(11), "BYPRGB");
    EXPECT_EQ(s.colors(10), "GBYRGB");
    EXPECT_EQ(s.player().score, 1);
}

TEST(Timing, AutomaticRiseComesEveryDelayPlusOneTicks)
{
    Scenario s;
    s.set_well({"GBYRGB", "BYPRGB"});
    const int start = s.player().rise;
    s.run(60);
    EXPECT_EQ(s.player().rise, start);
    s.tick();
    EXPECT_EQ(s.player().rise, start + 1);
    s.run(60);
    EXPECT_EQ(s.player().rise, start + 1);
    s.tick();
    EXPECT_EQ(s.player().rise, start + 2);
}

TEST(Timing, RiseDelayIsSixAt549AndFiveFrom550)
{
    Scenario s;
    s.set_well({"GBYRGB", "BYPRGB"});
    s.player().score = 549;
    s.player().rise_countdown = 0;
    s.tick();
    EXPECT_EQ(s.player().rise_delay, 6);
    const int rise = s.player().rise;
    s.run(6);
    EXPECT_EQ(s.player().rise, rise);
    s.tick();
    EXPECT_EQ(s.player().rise, rise + 1) << "seven ticks from one step to the next";
    s.player().score = 550;
    s.player().rise_countdown = 0;
    s.tick();
    EXPECT_EQ(s.player().rise_delay, 5);
}

TEST(Timing, NothingRisesWhileASwapOrClearIsPending)
{
    Scenario s;
    s.set_well({"RRRGBY", "GBYRGB"});
    s.player().rise_countdown = 0;
    s.tick(); // the rise step comes before the match of the same tick
    const int rise = s.player().rise;
    const int countdown = s.player().rise_countdown;
    s.run(58, {KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, rise);
    EXPECT_EQ(s.player().rise_countdown, countdown);
    EXPECT_EQ(s.player().score, 10);
}

} // namespace
