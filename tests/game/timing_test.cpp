// How long things take (swaps, clears, hovers, falls, the rising stack), and the keys.
#include <gtest/gtest.h>

#include "scenario.h"

namespace {

TEST(Timing, SwapSlidesThreeTicksAndExchangesOnTheFourth)
{
    // Two blocks, or two empty cells: both swap the same way.
    const struct { const char* row; int x; const char* sliding; const char* after; } cases[] = {
        {"RG.BYP", 0, "ss----", "GR.BYP"}, {"......", 2, "--ss--", "......"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Scenario s({c.row, "GRBYPR", "BYPRGB"});
        const Player& p = s.player();
        s.cursor(c.x, 10);
        for (int t = 1; t <= 4; t++) {
            s.tick(t == 1 ? std::vector<int>{KEY_RSHIFT} : std::vector<int>{});
            const int slide = t < 4 ? 8 * t : 0;
            EXPECT_EQ(s.colors(10), t < 4 ? c.row : c.after) << "tick " << t;
            EXPECT_EQ(s.states(10), t < 4 ? c.sliding : "------");
            EXPECT_EQ(p.grid[10][c.x].slide_offset, slide);
            EXPECT_EQ(p.grid[10][c.x + 1].slide_offset, -slide);
            EXPECT_EQ(p.busy != 0, t < 4);
            EXPECT_EQ(count_groups(p), t < 4 ? 1 : 0);
        }
    }
}

// A clear lasts 60 ticks and holds up the rise and the block above it; the chain it
// started outlives it until the next rise step.
TEST(Timing, AClearLastsSixtyTicksAndHoldsUpTheRiseAndTheBlockAbove)
{
    Scenario s({"Y.....", "RRRGBG", "GBYRGB"});
    Player& p = s.player();
    p.rise_countdown = 0;
    s.tick(); // the rise step comes before the match of the same tick
    const int rise = p.rise, countdown = p.rise_countdown;
    s.run(58, {KEY_RCONTROL});
    EXPECT_EQ(p.rise, rise);
    EXPECT_EQ(p.rise_countdown, countdown);
    EXPECT_EQ(s.colors(10, 11), "Y...../RRRGBG");
    EXPECT_EQ(s.states(10, 11), "------/ccc---");
    EXPECT_NE(p.busy, 0);
    s.tick();
    EXPECT_EQ(s.colors(10, 11), "Y...../...GBG");
    EXPECT_EQ(s.states(10, 11), "------/------") << "Y waits the whole clear";
    EXPECT_EQ(p.busy, 0);
    EXPECT_EQ(p.score, 10);
    EXPECT_EQ(p.chain, 1);
    p.rise_countdown = 0;
    s.tick();
    EXPECT_EQ(p.chain, 0);
    EXPECT_EQ(s.states(10), "h-----");
    s.run(17);
    EXPECT_EQ(s.colors(10), "Y.....") << "tick 78";
    s.tick();
    EXPECT_EQ(s.colors(10, 11), "....../Y..GBG") << "tick 79";
    EXPECT_EQ(s.states(11), "------");
    s.set_well({"BBBGYG", "GBYRGB"});
    s.tick();
    EXPECT_EQ(p.score, 20) << "a fresh chain scores 10 again";
}

TEST(Timing, AColumnOverAGapHoversSixteenTicksThenFallsTwoTicksARow)
{
    Scenario s({"R.....", "G.....", "B.....", "......", "......", "YBYRGB", "BYPRGB"});
    // Column 0, rows 6-10: colour and state letters of each cell, and their fall offsets.
    const struct { int until; const char* cells; int offsets; } steps[] = {
        {16, "Rh Gh Bh .r .-", 0},  {17, "Rf Gf Bf .r .-", 0}, {18, "Rf Gf Bf .r .-", 48},
        {19, ".- Rf Gf Bf .r", 0}, {20, ".- Rf Gf Bf .r", 48}, {21, ".- .- R- G- B-", 0}};
    int t = 0;
    for (const auto& step : steps)
        while (t < step.until) {
            s.tick();
            t++;
            std::string cells;
            int offsets = 0;
            for (int row = 6; row <= 10; row++) {
                cells += std::string(row > 6 ? " " : "") + s.colors(row)[0] + s.states(row)[0];
                offsets += s.player().grid[row][0].fall_offset;
            }
            EXPECT_EQ(cells, step.cells) << "tick " << t;
            EXPECT_EQ(offsets, step.offsets) << "tick " << t;
        }
}

TEST(Timing, FirstRowArrivesAfter1342TicksUntouched)
{
    Scenario s(1, 7);
    const std::string start = s.colors(0, 12);
    s.run(1341);
    EXPECT_EQ(s.colors(0, 12), start);
    EXPECT_EQ(s.player().rise, 31);
    s.tick();
    EXPECT_EQ(s.player().rise, 0);
    EXPECT_EQ(s.colors(0, 11), start.substr(7)) << "every row moved up one";
    EXPECT_EQ(s.player().cursor_y, 4) << "the cursor stays on its blocks";
    EXPECT_EQ(s.player().score, 0);
}

TEST(Timing, HoldingRaiseGivesARowIn32TicksAndOnePoint)
{
    Scenario s({"GBYRGB", "BYPRGB"});
    s.player().rise = 0;
    s.cursor(2, 0); // where the cursor cannot follow its blocks up
    s.run(31, {KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, 31);
    EXPECT_EQ(s.colors(11), "GBYRGB");
    s.tick({KEY_RCONTROL});
    EXPECT_EQ(s.player().rise, 0);
    EXPECT_EQ(s.colors(10, 11), "GBYRGB/BYPRGB");
    EXPECT_EQ(s.player().score, 1);
    EXPECT_EQ(s.player().cursor_y, 0);
}

TEST(Timing, AutomaticRiseComesEveryDelayPlusOneTicks)
{
    // 60 - score / 10, at least 5; 654960 would wrap a 16-bit delay round to 100.
    const struct { int score, delay; } cases[] = {{0, 60}, {549, 6}, {550, 5}, {654960, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.score);
        Scenario s({"GBYRGB", "BYPRGB"});
        Player& p = s.player();
        p.score = c.score;
        p.rise_countdown = 0;
        s.tick();
        EXPECT_EQ(p.rise_delay, c.delay);
        EXPECT_EQ(p.rise_countdown, c.delay);
        const int rise = p.rise;
        s.run(c.delay);
        EXPECT_EQ(p.rise, rise);
        s.tick();
        EXPECT_EQ(p.rise, rise + 1);
    }
}

// Keys are asked left, right, up, down, stopping at the first move made; a key not
// asked keeps its latch.
TEST(Cursor, MovesOncePerPressInKeyOrderAndStopsAtTheEdges)
{
    const std::vector<int> L{KEY_LEFT}, R{KEY_RIGHT}, U{KEY_UP}, D{KEY_DOWN}, none{};
    const std::vector<int> LR{KEY_LEFT, KEY_RIGHT}, LD{KEY_LEFT, KEY_DOWN};
    const struct {
        const char* what;
        int x, y;
        std::vector<std::vector<int>> ticks;
        int to_x, to_y;
    } cases[] = {
        {"a held key moves once", 2, 5, {L, L, L, L, L}, 1, 5},
        {"and again once released", 2, 5, {L, L, none, L}, 0, 5},
        {"left beats right", 2, 5, {LR}, 1, 5},
        {"right was not asked, so it is still new", 2, 5, {LR, LR}, 2, 5},
        {"then neither is new", 2, 5, {LR, LR, LR}, 2, 5},
        {"top-left edge", 0, 0, {L, none, U}, 0, 0},
        {"left at the edge lets down be asked", 0, 0, {LD}, 0, 1},
        {"bottom-right edge", 4, 11, {R, none, D}, 4, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Scenario s;
        s.cursor(c.x, c.y);
        for (const auto& held : c.ticks)
            s.tick(held);
        EXPECT_EQ(s.player().cursor_x, c.to_x);
        EXPECT_EQ(s.player().cursor_y, c.to_y);
    }
}

TEST(Swap, ABlockSwappedOverAGapFalls)
{
    Scenario s({"R.....", "G.....", "GBYRGB", "BYPRGB"});
    s.cursor(0, 9);
    s.tick({KEY_RSHIFT});
    s.run(3);
    EXPECT_EQ(s.colors(9), ".R....");
    EXPECT_EQ(s.states(9), "------") << "exchanged after the falling step";
    s.tick();
    EXPECT_EQ(s.states(9), "-h----") << "left in mid-air, it hovers";
    s.run(18);
    EXPECT_EQ(s.colors(10), "GR....");
}

TEST(Swap, OnlyANewPressOnAnIdlePairStartsASwap)
{
    Scenario s({"Y.....", "RRRGBG", "GBYRGB"});
    s.tick();
    const struct { int x, groups; const char* row11; } presses[] = {
        {0, 1, "ccc---"}, // two clearing blocks
        {2, 1, "ccc---"}, // clearing and idle
        {3, 2, "cccss-"}, // an idle pair
        {3, 2, "cccss-"}, // a swap already running
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(&press - presses);
        s.cursor(press.x, 11);
        s.tick();
        s.tick({KEY_RSHIFT});
        EXPECT_EQ(count_groups(s.player()), press.groups);
        EXPECT_EQ(s.states(11), press.row11);
    }
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(s.colors(11), "RRRBGG") << "exchanged once, on the fourth tick";
    s.tick({KEY_RSHIFT});
    EXPECT_EQ(count_groups(s.player()), 1) << "a held key does not swap again";
}

} // namespace
