// The cursor keys, the latch that makes a held key count once, and starting swaps.
#include <gtest/gtest.h>

#include "game/update.h"
#include "scenario.h"

namespace {

TEST(Cursor, AHeldKeyMovesOnceUntilReleased)
{
    Scenario s;
    s.run(5, {KEY_LEFT});
    EXPECT_EQ(s.player().cursor_x, 1);
    s.tick();
    s.tick({KEY_LEFT});
    EXPECT_EQ(s.player().cursor_x, 0);
}

TEST(Cursor, LeftAndRightTogetherMoveLeftThenRightNextTick)
{
    Scenario s;
    s.tick({KEY_LEFT, KEY_RIGHT});
    EXPECT_EQ(s.player().cursor_x, 1);
    s.tick({KEY_LEFT, KEY_RIGHT});
    EXPECT_EQ(s.player().cursor_x, 2) << "right was not asked, so it is still new";
    s.tick({KEY_LEFT, KEY_RIGHT});
    EXPECT_EQ(s.player().cursor_x, 2);
}

TEST(Cursor, TheEdgesHoldTheCursorAndLetTheNextKeyBeAsked)
{
    Scenario s;
    Player& p = s.player();
    p.cursor_x = 0;
    p.cursor_y = 0;
    s.tick({KEY_LEFT});
    s.tick({KEY_UP});
    EXPECT_EQ(p.cursor_x, 0);
    EXPECT_EQ(p.cursor_y, 0);
    s.tick({KEY_LEFT, KEY_DOWN});
    EXPECT_EQ(p.cursor_y, 1) << "left at the edge lets down be asked";
    p.cursor_x = 4;
    p.cursor_y = 11;
    s.tick();
    s.tick({KEY_RIGHT});
    s.tick({KEY_DOWN});
    EXPECT_EQ(p.cursor_x, 4);
    EXPECT_EQ(p.cursor_y, 11);
}

TEST(Cursor, TheLatchOnlyChangesForKeysAsked)
{
    Scenario s;
    key[KEY_Q] = 1;
    EXPECT_TRUE(key_pressed_once(KEY_Q));
    EXPECT_FALSE(key_pressed_once(KEY_Q));
    key[KEY_Q] = 0;
    EXPECT_FALSE(key_pressed_once(KEY_Q));
    key[KEY_Q] = 1;
    EXPECT_TRUE(key_pressed_once(KEY_Q));
    key[KEY_Q] = 0;
}

TEST(Swap, ABlockSwappedOverAGapFalls)
{
    Scenario s;
    s.set_well({"R.....", "G.....", "GBYRGB", "BYPRGB"});
    s.player().cursor_x = 0;
    s.player().cursor_y = 9;
    s.tick({KEY_RSHIFT});
    s.run(3);
    EXPECT_EQ(s.colors(9), ".R....");
    EXPECT_EQ(s.states(9), "------") << "exchanged after the falling step";
    s.tick();
    EXPECT_EQ(s.states(9), "-h----") << "left in mid-air, it hovers";
    s.run(18);
    EXPECT_EQ(s.colors(10), "GR....");
}

TEST(Swap, TwoEmptyCellsCanBeSwapped)
{
    Scenario s;
    s.set_well({"GBYRGB", "BYPRGB"});
    s.player().cursor_y = 3;
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(s.states(3), "--ss--");
    EXPECT_NE(s.player().busy, 0);
    s.run(3);
    EXPECT_EQ(s.states(3), "------");
    EXPECT_EQ(s.player().busy, 0);
}

TEST(Swap, APairThatIsNotIdleIsRefused)
{
    Scenario s;
    s.set_well({"Y.....", "RRRGBG", "GBYRGB"});
    s.tick();
    s.player().cursor_x = 0;
    s.player().cursor_y = 11; // two clearing blocks
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(count_groups(s.player()), 1);
    EXPECT_EQ(s.states(11), "ccc---");
    s.player().cursor_x = 2; // clearing and idle
    s.tick();
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(count_groups(s.player()), 1);
    EXPECT_EQ(s.colors(11), "RRRGBG");
    EXPECT_EQ(s.player().grid[11][2].slide_offset, 0);
    s.player().cursor_x = 3; // an idle pair still works
    s.tick();
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(count_groups(s.player()), 2);
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(count_groups(s.player()), 2) << "a held key does not swap again";
}

TEST(Swap, ASwapAlreadyRunningCannotBeSwappedAgain)
{
    Scenario s;
    s.set_well({"RG....", "GBYRGB", "BYPRGB"});
    s.player().cursor_x = 0;
    s.player().cursor_y = 10;
    s.tick({KEY_RSHIFT});
    s.tick();
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(count_groups(s.player()), 1);
    s.tick();
    EXPECT_EQ(s.colors(10), "GR....") << "exchanged once, on the fourth tick";
}

} // namespace
