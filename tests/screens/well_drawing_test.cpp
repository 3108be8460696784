// Drawing the wells: where blocks land for rise, swap and fall, fading clears, the
// preview row and the blinking cursor.
#include "screen_fixture.h"

#include "screens/well_view.h"

namespace {

class WellDrawing : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        start_empty_game(2);
    }

    // Pixels of view column x, rows from..to, that some tile tinted.
    int tinted_run(int player, int x, int from, int to, int tile)
    {
        int n = 0;
        for (int y = from; y <= to; y++)
            n += tinted_towards(players[player].view, x, y, well_background(), tile);
        return n;
    }

    void set_cell(int player, int row, int col, int8_t color, int8_t state = CELL_IDLE)
    {
        players[player].grid[row][col] = Cell{color, state, 0, 0, 0};
    }
};

TEST_F(WellDrawing, WellsSitAtTheirScreenPositions)
{
    set_cell(0, 11, 0, 1);
    set_cell(1, 11, 5, 2);
    draw_wells();
    const Rgb bg = well_background();
    // Player 1's bottom-left block and player 2's bottom-right block, on the screen.
    EXPECT_TRUE(tinted_towards(frame, 64, 48 + 352, bg, 1));
    EXPECT_TRUE(tinted_towards(frame, 384 + 191, 48 + 383, bg, 2));
    // The wells' corners hold the background; just outside them nothing was drawn.
    EXPECT_EQ(distance(rgb_at(frame, 64 + 100, 48), bg), 0);
    EXPECT_EQ(distance(rgb_at(frame, 384 + 100, 48), bg), 0);
    EXPECT_EQ(getpixel(frame, 63, 100), 0);
    EXPECT_EQ(getpixel(frame, 256, 100), 0);
    EXPECT_EQ(getpixel(frame, 383, 100), 0);
    EXPECT_EQ(getpixel(frame, 576, 100), 0);
    EXPECT_EQ(getpixel(frame, 100, 47), 0);
    EXPECT_EQ(getpixel(frame, 100, 432), 0);
}

TEST_F(WellDrawing, PreviewRowShowsExactlyRisePixels)
{
    for (int rise : {0, 1, 7, 31}) {
        players[0].rise = static_cast<int8_t>(rise);
        draw_well(players[0]);
        for (int col = 0; col < well_cols; col++) {
            const int tile = players[0].grid[preview_row][col].color;
            EXPECT_EQ(tinted_run(0, 32 * col + 16, 300, 383, tile), rise)
                << "rise " << rise << " column " << col;
        }
    }
}

TEST_F(WellDrawing, RowZeroIsCutByRise)
{
    set_cell(0, 0, 1, 3);
    for (int rise : {0, 1, 20, 31}) {
        players[0].rise = static_cast<int8_t>(rise);
        draw_well(players[0]);
        EXPECT_EQ(tinted_run(0, 48, 0, 63, 3), 32 - rise) << "rise " << rise;
        EXPECT_TRUE(tinted_towards(players[0].view, 48, 0, well_background(), 3));
    }
}

TEST_F(WellDrawing, BlocksMoveUpWithTheStack)
{
    set_cell(0, 8, 0, 4);
    players[0].rise = 12;
    draw_well(players[0]);
    const Rgb bg = well_background();
    EXPECT_FALSE(tinted_towards(players[0].view, 10, 256 - 12 - 1, bg, 4));
    EXPECT_TRUE(tinted_towards(players[0].view, 10, 256 - 12, bg, 4));
    EXPECT_TRUE(tinted_towards(players[0].view, 10, 287 - 12, bg, 4));
    EXPECT_FALSE(tinted_towards(players[0].view, 10, 287 - 12 + 1, bg, 4));
}

TEST_F(WellDrawing, SwappingBlocksSlideTowardsEachOther)
{
    for (int offset : {8, 16, 24}) {
        set_cell(0, 10, 2, 1, CELL_SWAPPING);
        set_cell(0, 10, 3, 2, CELL_SWAPPING);
        players[0].grid[10][2].slide_offset = static_cast<int8_t>(offset);
        players[0].grid[10][3].slide_offset = static_cast<int8_t>(-offset);
        draw_well(players[0]);
        const Rgb bg = well_background();
        const int y = 10 * 32 + 16;
        // The right-hand block is drawn later and so lies on top where they overlap.
        for (int x = 56; x < 136; x++) {
            const bool right = x >= 96 - offset && x <= 127 - offset;
            const bool left = x >= 64 + offset && x <= 95 + offset;
            if (right)
                EXPECT_TRUE(tinted_towards(players[0].view, x, y, bg, 2)) << offset << " x " << x;
            else if (left)
                EXPECT_TRUE(tinted_towards(players[0].view, x, y, bg, 1)) << offset << " x " << x;
            else
                EXPECT_EQ(distance(rgb_at(players[0].view, x, y), bg), 0) << offset << " x " << x;
        }
    }
}

TEST_F(WellDrawing, FallingBlockIsDrawnAtItsFallOffset)
{
    set_cell(0, 9, 0, 5, CELL_FALLING);
    players[0].grid[9][0].fall_offset = 16;
    draw_well(players[0]);
    const Rgb bg = well_background();
    EXPECT_FALSE(tinted_towards(players[0].view, 10, 9 * 32 + 15, bg, 5));
    EXPECT_TRUE(tinted_towards(players[0].view, 10, 9 * 32 + 16, bg, 5));
    EXPECT_TRUE(tinted_towards(players[0].view, 10, 10 * 32 + 15, bg, 5));
}

TEST_F(WellDrawing, ClearingBlocksFadeWithTheirGroupTimer)
{
    set_cell(0, 11, 0, 3, CELL_CLEARING);
    // Without a group a clearing block is not drawn at all: only its group draws it.
    draw_well(players[0]);
    EXPECT_FALSE(tinted_towards(players[0].view, 16, 368, well_background(), 3));

    ActionGroup* group = push_group(players[0].groups, GROUP_CLEAR);
    ASSERT_NE(group, nullptr);
    ASSERT_TRUE(push_group_cell(group, 11, 0));
    const Rgb tile = rgb_of(fake_tile_color(3));
    int previous = -1;
    for (int timer : {118, 80, 40, 2}) {
        group->timer = static_cast<int8_t>(timer);
        draw_well(players[0]);
        EXPECT_TRUE(tinted_towards(players[0].view, 16, 368, well_background(), 3)) << timer;
        const int away = distance(rgb_at(players[0].view, 16, 368), tile);
        EXPECT_GT(away, previous) << "timer " << timer << " should look fainter";
        previous = away;
    }
}

TEST_F(WellDrawing, SwapGroupsDrawNothingExtra)
{
    ActionGroup* group = push_group(players[0].groups, GROUP_SWAP);
    ASSERT_TRUE(push_group_cell(group, 11, 0));
    set_cell(0, 11, 0, 0, CELL_SWAPPING);
    draw_well(players[0]);
    EXPECT_EQ(distance(rgb_at(players[0].view, 16, 368), well_background()), 0);
}

TEST_F(WellDrawing, CursorFrameFollowsBitFourOfTheClock)
{
    players[0].rise = 10;
    const int x = 32 * players[0].cursor_x - 6;
    const int y = 32 * players[0].cursor_y - 10 - 6;
    const int first = getpixel(asset_bitmap(Asset::cursor_a), 0, 0);
    const int second = getpixel(asset_bitmap(Asset::cursor_b), 0, 0);
    const struct {
        uint32_t ticks;
        int color;
    } cases[] = {{0, first}, {15, first}, {16, second}, {31, second}, {32, first},
                 {0xFFFFFFF0u, second}};
    for (const auto& c : cases) {
        tick_count = c.ticks;
        draw_well(players[0]);
        EXPECT_EQ(getpixel(players[0].view, x, y), c.color) << "tick " << c.ticks;
        EXPECT_NE(getpixel(players[0].view, x - 1, y), c.color) << "tick " << c.ticks;
        EXPECT_NE(getpixel(players[0].view, x, y - 1), c.color) << "tick " << c.ticks;
    }
}

TEST_F(WellDrawing, NextFrameErasesTheLastOne)
{
    set_cell(0, 11, 0, 1);
    draw_well(players[0]);
    set_cell(0, 11, 0, 0);
    draw_well(players[0]);
    EXPECT_EQ(distance(rgb_at(players[0].view, 16, 368), well_background()), 0);
}

} // namespace
