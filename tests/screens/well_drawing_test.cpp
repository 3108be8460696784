// Drawing the wells: block positions under rise, swap and fall, fading clears, the
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
    Cell& cell(int row, int col) { return players[0].grid[row][col]; }
    // Tinted pixels of view column x between rows from and to.
    int tinted_run(int x, int from, int to, int tile)
    {
        int n = 0;
        for (int y = from; y <= to; y++)
            n += tinted(players[0].view, x, y, tile);
        return n;
    }
};

TEST_F(WellDrawing, WellsSitAtTheirScreenPositions)
{
    cell(11, 0) = Cell{1, CELL_IDLE, 0, 0, 0};
    players[1].grid[11][5] = Cell{2, CELL_IDLE, 0, 0, 0};
    draw_wells();
    EXPECT_TRUE(tinted(frame, 64, 48 + 352, 1));
    EXPECT_TRUE(tinted(frame, 575, 431, 2));
    for (int x : {63, 256, 383, 576})
        EXPECT_EQ(getpixel(frame, x, 100), 0) << x;
    EXPECT_EQ(getpixel(frame, 100, 47), 0);
    EXPECT_EQ(getpixel(frame, 100, 432), 0);
}

TEST_F(WellDrawing, PreviewRowShowsExactlyRisePixelsAndRowZeroLosesThem)
{
    cell(0, 1) = Cell{3, CELL_IDLE, 0, 0, 0};
    for (int rise : {0, 1, 7, 31}) {
        players[0].rise = static_cast<int8_t>(rise);
        draw_well(players[0]);
        for (int col = 0; col < well_cols; col++)
            EXPECT_EQ(tinted_run(32 * col + 16, 300, 383, players[0].grid[12][col].color), rise)
                << "rise " << rise << " column " << col;
        EXPECT_EQ(tinted_run(48, 0, 63, 3), 32 - rise) << "rise " << rise;
    }
}

TEST_F(WellDrawing, SwappingBlocksSlideTowardsEachOtherTheRightOneOnTop)
{
    for (int8_t offset : {8, 16, 24}) {
        cell(10, 2) = Cell{1, CELL_SWAPPING, 0, offset, 0};
        cell(10, 3) = Cell{2, CELL_SWAPPING, 0, static_cast<int8_t>(-offset), 0};
        draw_well(players[0]);
        for (int x = 56; x < 136; x++) {
            const bool right = x >= 96 - offset && x <= 127 - offset;
            const bool left = x >= 64 + offset && x <= 95 + offset;
            EXPECT_EQ(tinted(players[0].view, x, 336, 2), right) << int(offset) << " x " << x;
            if (!right) {
                EXPECT_EQ(tinted(players[0].view, x, 336, 1), left) << int(offset) << " x " << x;
            }
        }
    }
}

TEST_F(WellDrawing, FallingBlockIsDrawnAtItsFallOffset)
{
    cell(9, 0) = Cell{5, CELL_FALLING, 16, 0, 0};
    draw_well(players[0]);
    EXPECT_EQ(tinted_run(10, 250, 383, 5), 32);
    EXPECT_FALSE(tinted(players[0].view, 10, 9 * 32 + 15, 5));
    EXPECT_TRUE(tinted(players[0].view, 10, 10 * 32 + 15, 5));
}

TEST_F(WellDrawing, ClearingBlocksAreDrawnByTheirGroupFadingWithItsTimer)
{
    cell(11, 0) = Cell{3, CELL_CLEARING, 0, 0, 0};
    draw_well(players[0]);
    EXPECT_FALSE(tinted(players[0].view, 16, 368, 3)); // no group, no block

    ActionGroup* group = push_group(players[0].groups, GROUP_CLEAR);
    ASSERT_TRUE(group && push_group_cell(group, 11, 0));
    int previous = -1;
    for (int8_t timer : {118, 80, 40, 2}) {
        group->timer = timer;
        draw_well(players[0]);
        EXPECT_TRUE(tinted(players[0].view, 16, 368, 3)) << int(timer);
        const int away = distance(rgb_at(players[0].view, 16, 368), rgb_of(fake_tile_color(3)));
        EXPECT_GT(away, previous) << "timer " << int(timer) << " should look fainter";
        previous = away;
    }
}

TEST_F(WellDrawing, CursorFrameFollowsBitFourOfTheClockAndTheRise)
{
    players[0].rise = 10;
    const int x = 32 * 2 - 6, y = 32 * 5 - 10 - 6;
    const int first = getpixel(asset_bitmap(Asset::cursor_a), 0, 0);
    const int second = getpixel(asset_bitmap(Asset::cursor_b), 0, 0);
    for (uint32_t ticks : {0u, 15u, 16u, 31u, 32u, 0xFFFFFFF0u}) {
        tick_count = ticks;
        draw_well(players[0]);
        const int want = (ticks & 16) ? second : first;
        EXPECT_EQ(getpixel(players[0].view, x, y), want) << ticks;
        EXPECT_NE(getpixel(players[0].view, x - 1, y), want) << ticks;
        EXPECT_NE(getpixel(players[0].view, x, y - 1), want) << ticks;
    }
}

} // namespace
