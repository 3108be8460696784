// Where the game stays sound at its extremes: the well's top edge, huge scores and
// chains, crowded falls, and memory that cannot be had.
#include <gtest/gtest.h>

#include <climits>

#include "failing_alloc.h"
#include "game/popups.h"
#include "game/update.h"
#include "scenario.h"

namespace {

// Rows 1-11 full without a line of three: colour (col + row) % 5 + 1.
std::vector<std::string> tall_well()
{
    std::vector<std::string> rows;
    for (int row = 1; row <= 12; row++) {
        std::string text;
        for (int col = 0; col < 6; col++)
            text += color_letter((col + row) % 5 + 1);
        rows.push_back(text);
    }
    return rows;
}

TEST(Mends, AShiftWithTheCursorOnRowZeroKeepsItThere)
{
    Scenario s;
    s.set_well({"GBYRGB", "BYPRGB"});
    s.player().cursor_y = 0;
    s.player().rise = 31;
    s.player().rise_countdown = 0;
    s.tick();
    EXPECT_EQ(s.player().rise, 0);
    EXPECT_EQ(s.player().cursor_y, 0);
    s.tick({KEY_DOWN});
    EXPECT_EQ(s.player().cursor_y, 1);
}

TEST(Mends, TheScoreStopsAtTheTopOfItsRange)
{
    Scenario s;
    s.set_well({"RRRGBY", "GBYRGB"});
    s.player().score = INT32_MAX - 5;
    s.tick();
    EXPECT_EQ(s.player().score, INT32_MAX);
    s.set_well({"GBYRGB", "BYPRGB"});
    s.run(59);
    s.player().rise = 31;
    s.player().rise_countdown = 200;
    s.tick({KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, 0);
    EXPECT_EQ(s.player().score, INT32_MAX) << "the raise bonus saturates too";
}

TEST(Mends, TheChainStopsAt127AndItsPopupStaysInRange)
{
    Scenario s;
    s.set_well({"RRRGBY", "GBYRGB"});
    s.player().chain = 127;
    s.tick();
    EXPECT_EQ(s.player().chain, 127);
    EXPECT_EQ(s.player().score, INT32_MAX) << "10 x 2^127 saturates";
    ASSERT_FALSE(popup_list.empty());
    EXPECT_EQ(popup_list.front().image, popup_images[1]);
}

TEST(Mends, TheRiseDelayIsClampedBeforeItIsStored)
{
    // 60 - 654960 / 10 = -65436, which a 16-bit field would read as 100.
    Scenario s;
    s.set_well({"GBYRGB", "BYPRGB"});
    s.player().score = 654960;
    s.player().rise_countdown = 0;
    s.tick();
    EXPECT_EQ(s.player().rise_delay, 5);
    EXPECT_EQ(s.player().rise_countdown, 5);
}

TEST(Mends, AFallingBlockLandsOnABlockSwappedInBelowIt)
{
    Scenario s;
    s.set_well({"Y.....", "......", "R.....", "GBYRGB", "BYPRGB"});
    // Y is in mid-fall; R has just been swapped in under it.
    Cell& falling = s.player().grid[8][0];
    falling.state = CELL_FALLING;
    falling.fall_offset = 16;
    s.player().grid[9][0].color = 2;
    const int blocks = count_blocks(s.player());
    s.tick();
    EXPECT_EQ(s.colors(8), "Y.....");
    EXPECT_EQ(s.colors(9), "G.....");
    EXPECT_EQ(s.states(8), "------");
    EXPECT_EQ(s.player().grid[8][0].fall_offset, 0);
    EXPECT_EQ(count_blocks(s.player()), blocks);
}

TEST(Mends, AFallingBlockLandsOverASwapInProgress)
{
    Scenario s;
    s.set_well({"Y.....", "......", "R.....", "GBYRGB", "BYPRGB"});
    s.player().cursor_x = 0;
    s.player().cursor_y = 9;
    s.tick({KEY_RSHIFT}); // swap the empty (9,0) with the empty (9,1)
    Cell& falling = s.player().grid[8][0];
    falling.state = CELL_FALLING;
    falling.fall_offset = 16;
    s.tick();
    EXPECT_EQ(s.colors(8), "Y.....");
    EXPECT_EQ(s.colors(9), "......");
    EXPECT_EQ(s.states(9), "ss----") << "the swap is left alone";
    EXPECT_EQ(s.player().grid[9][0].slide_offset, 16);
    s.run(2);
    EXPECT_EQ(s.states(9), "------");
    s.run(20);
    EXPECT_EQ(s.colors(9), "Y.....") << "once the swap is over the block falls on";
}

// The way it happens in play: Y is swapped onto the hovering R and follows it late;
// R falls away and B is swapped into the gap it left before Y arrives there.
TEST(Mends, ABlockSwappedIntoTheGapUnderAHoverIsNotCrushed)
{
    Scenario s;
    s.set_well({".Y....", "RB....", ".G....", "GPYRGB", "BYPRGB"});
    s.player().cursor_x = 0;
    s.player().cursor_y = 8;
    const int blocks = count_blocks(s.player());
    for (int t = 1; t <= 60; t++) {
        std::vector<int> held;
        if (t == 2 || t == 20)
            held.push_back(KEY_RSHIFT);
        if (t == 10)
            held.push_back(KEY_DOWN);
        s.tick(held);
        ASSERT_EQ(count_blocks(s.player()), blocks) << "tick " << t;
        if (t == 23) {
            EXPECT_EQ(s.player().grid[8][0].state, CELL_FALLING) << "Y is on its way";
        }
    }
    EXPECT_EQ(s.colors(8), "Y.....");
    EXPECT_EQ(s.colors(9), "B.....");
    EXPECT_EQ(s.colors(10), "RG....");
    for (int row = 8; row <= 11; row++)
        EXPECT_EQ(s.states(row), "------") << "row " << row;
}

TEST(Mends, NoPopupWithoutMemoryAndTheGameGoesOn)
{
    Scenario s;
    fail_allocations = true;
    spawn_popup(1, 100, 100);
    fail_allocations = false;
    EXPECT_TRUE(popup_list.empty());
    s.set_well({"RRRGBY", "GBYRGB"});
    s.tick();
    EXPECT_EQ(s.player().score, 10);
}

TEST(Mends, ASwapWithoutMemoryIsDropped)
{
    Scenario s;
    s.set_well({"RG....", "GBYRGB", "BYPRGB"});
    s.player().cursor_x = 0;
    s.player().cursor_y = 10;
    key[KEY_RSHIFT] = 1;
    fail_allocations = true;
    update_players();
    fail_allocations = false;
    key[KEY_RSHIFT] = 0;
    EXPECT_EQ(s.states(10), "------");
    EXPECT_EQ(s.player().busy, 0);
    EXPECT_EQ(s.player().groups, nullptr);
    s.tick();
    s.run(4, {KEY_RSHIFT});
    EXPECT_EQ(s.colors(10), "GR....") << "the next press works";
}

TEST(Mends, AMatchWithoutMemoryWaitsForTheNextTick)
{
    Scenario s;
    s.set_well({"RRRGBY", "GBYRGB"});
    fail_allocations = true;
    update_players();
    fail_allocations = false;
    EXPECT_EQ(s.states(11), "------");
    EXPECT_EQ(s.player().score, 0);
    EXPECT_EQ(s.player().busy, 0);
    s.tick();
    EXPECT_EQ(s.states(11), "ccc---");
    EXPECT_EQ(s.player().score, 10);
}

TEST(TopOut, AShiftIntoRowZeroEndsTheGameWithScoreZero)
{
    Scenario s(2);
    s.set_well(tall_well(), 0);
    s.set_well({"GBYRGB", "BYPRGB"}, 1);
    s.player(0).score = 500;
    s.player(1).score = 300;
    s.player(0).rise = 31;
    s.player(0).rise_countdown = 0;
    EXPECT_FALSE(s.run(0));
    EXPECT_TRUE(s.tick());
    EXPECT_EQ(s.player(0).topped_out, 1);
    EXPECT_EQ(s.player(0).score, 0);
    EXPECT_EQ(s.player(1).topped_out, 0);
    EXPECT_EQ(s.player(1).score, 300);
    EXPECT_NE(s.colors(0, 0), "......");
}

TEST(TopOut, AFullWellThatHasNotShiftedDoesNotEndTheGame)
{
    Scenario s;
    s.set_well(tall_well());
    s.player().rise = 30;
    s.player().rise_countdown = 0;
    EXPECT_FALSE(s.tick());
    EXPECT_EQ(s.player().topped_out, 0);
    EXPECT_TRUE(s.tick({KEY_RCONTROL}));
}

} // namespace
