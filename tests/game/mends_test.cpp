// Where the game stays sound at its extremes: the well's top edge, huge scores and
// chains, crowded falls, and memory that cannot be had.
#include <gtest/gtest.h>

#include <climits>

#include "failing_alloc.h"
#include "game/popups.h"
#include "scenario.h"

namespace {

TEST(Mends, ScoreAndChainStopAtTheTopOfTheirRanges)
{
    // 10 x 2^127 saturates too; past chain 12 the popup shows picture 1.
    const struct { int32_t score; int chain, chain_after, image; } cases[] = {
        {INT32_MAX - 5, 0, 1, 0}, {0, 127, 127, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chain);
        Scenario s({"RRRGBY", "GBYRGB"});
        s.player().score = c.score;
        s.player().chain = static_cast<int8_t>(c.chain);
        s.tick();
        EXPECT_EQ(s.player().score, INT32_MAX);
        EXPECT_EQ(s.player().chain, c.chain_after);
        ASSERT_FALSE(popup_list.empty());
        EXPECT_EQ(popup_list.front().image, popup_images[c.image]);
    }
    Scenario s({"GBYRGB", "BYPRGB"});
    s.player().score = INT32_MAX;
    s.player().rise = 31;
    s.tick({KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, 0);
    EXPECT_EQ(s.player().score, INT32_MAX) << "the raise bonus saturates";
}

// Y falls onto row 9, where a block has just been swapped in, or a swap is sliding.
TEST(Mends, AFallingBlockLandsOnWhatIsSwappedInBelowIt)
{
    for (bool sliding : {false, true}) {
        SCOPED_TRACE(sliding ? "a swap sliding below" : "a block swapped in below");
        Scenario s({"Y.....", "......", "R.....", "GBYRGB", "BYPRGB"});
        s.cursor(0, 9);
        if (sliding)
            s.tick({KEY_RSHIFT}); // the two empty cells under Y
        else
            s.player().grid[9][0].color = 2;
        s.player().grid[8][0].state = CELL_FALLING;
        s.player().grid[8][0].fall_offset = 16;
        s.tick();
        EXPECT_EQ(s.colors(8, 9), sliding ? "Y...../......" : "Y...../G.....");
        EXPECT_EQ(s.states(8, 9), sliding ? "------/ss----" : "------/------");
        EXPECT_EQ(s.player().grid[8][0].fall_offset, 0);
        EXPECT_EQ(s.player().grid[9][0].slide_offset, sliding ? 16 : 0) << "the swap goes on";
        EXPECT_EQ(count_blocks(s.player()), sliding ? 14 : 15);
        s.run(22);
        EXPECT_EQ(s.colors(8, 9), sliding ? "....../Y....." : "Y...../G.....")
            << "once the swap is over, Y falls on";
    }
}

// As in play: Y is swapped onto the hovering R and follows it late; R falls away and B
// is swapped into the gap it left before Y arrives there.
TEST(Mends, ABlockSwappedIntoTheGapUnderAHoverIsNotCrushed)
{
    Scenario s({".Y....", "RB....", ".G....", "GPYRGB", "BYPRGB"});
    s.cursor(0, 8);
    for (int t = 1; t <= 60; t++) {
        std::vector<int> held;
        if (t == 2 || t == 20)
            held.push_back(KEY_RSHIFT);
        if (t == 10)
            held.push_back(KEY_DOWN);
        s.tick(held);
        ASSERT_EQ(count_blocks(s.player()), 16) << "tick " << t;
        if (t == 23) {
            EXPECT_EQ(s.player().grid[8][0].state, CELL_FALLING) << "Y is on its way";
        }
    }
    EXPECT_EQ(s.colors(8, 10), "Y...../B...../RG....");
    EXPECT_EQ(s.states(8, 11), "------/------/------/------");
}

// Without memory a popup, a swap or a match is dropped whole, and the game goes on.
TEST(Mends, WithoutMemoryNothingIsHalfDone)
{
    Scenario s({"RG....", "GBYRGB", "BYPRGB"});
    s.cursor(0, 10);
    const std::vector<int> swap{KEY_RSHIFT};
    fail_allocations = true;
    spawn_popup(1, 100, 100);
    s.tick(swap);
    fail_allocations = false;
    EXPECT_TRUE(popup_list.empty());
    EXPECT_EQ(s.states(10), "------");
    EXPECT_EQ(s.player().busy, 0);
    EXPECT_EQ(s.player().groups, nullptr);
    s.tick();
    s.run(4, swap);
    EXPECT_EQ(s.colors(10), "GR....") << "the next press works";

    s.set_well({"RRRGBY", "GBYRGB"});
    fail_allocations = true;
    s.tick();
    fail_allocations = false;
    EXPECT_EQ(s.states(11), "------");
    EXPECT_EQ(s.player().score, 0);
    EXPECT_EQ(s.player().busy, 0);
    s.tick();
    EXPECT_EQ(s.states(11), "ccc---") << "the match waits for the next tick";
    EXPECT_EQ(s.player().score, 10);
}

// A full well tops out only when a shift pushes a block into row 0, and then only that
// player's score is lost.
TEST(TopOut, AShiftIntoRowZeroEndsTheGameWithScoreZero)
{
    Scenario s(2);
    s.set_well({"GBYPRG", "BYPRGB", "YPRGBY", "PRGBYP", "RGBYPR", "GBYPRG", "BYPRGB", "YPRGBY",
                "PRGBYP", "RGBYPR", "GBYPRG", "BYPRGB"}, 0);
    s.player(0).score = 500;
    s.player(1).score = 300;
    s.player(0).rise = 30;
    s.player(0).rise_countdown = 0;
    EXPECT_FALSE(s.tick());
    EXPECT_EQ(s.player(0).topped_out, 0);
    EXPECT_TRUE(s.tick({KEY_LCONTROL}));
    EXPECT_EQ(s.player(0).topped_out, 1);
    EXPECT_EQ(s.player(0).score, 0);
    EXPECT_EQ(s.player(1).topped_out, 0);
    EXPECT_EQ(s.player(1).score, 300);
    EXPECT_NE(s.colors(0, 0, 0), "......");
}

} // namespace
