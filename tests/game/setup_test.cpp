// A new game: the starting wells, the key sets, the tiles and the wells' backgrounds.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/assets.h"
#include "game/player.h"
#include "support/headless.h"

namespace {

struct NewGame : testing::Test {
    void SetUp() override { install_fake_game_data(); }
    void TearDown() override
    {
        if (players)
            end_game();
        remove_fake_game_data();
    }
};

bool line_of_three_from(const Player& p, int row, int col)
{
    const int8_t c = p.grid[row][col].color;
    const bool across = col + 2 < well_cols && p.grid[row][col + 1].color == c &&
                        p.grid[row][col + 2].color == c;
    const bool down = row + 2 < grid_rows && p.grid[row + 1][col].color == c &&
                      p.grid[row + 2][col].color == c;
    return c != 0 && (across || down);
}

TEST_F(NewGame, StartsWithSixFullRowsAndNoLineOfThree)
{
    for (unsigned seed = 1; seed <= 300; seed++) {
        std::srand(seed);
        start_game(2);
        for (int i = 0; i < 2; i++) {
            const Player& p = players[i];
            for (int row = 0; row < grid_rows; row++)
                for (int col = 0; col < well_cols; col++) {
                    const Cell& cell = p.grid[row][col];
                    ASSERT_EQ(cell.color == 0, row < first_filled_row) << seed << " " << row;
                    ASSERT_LE(cell.color, color_count);
                    ASSERT_EQ(cell.state, CELL_IDLE);
                    ASSERT_EQ(cell.fall_offset, 0);
                    ASSERT_EQ(cell.slide_offset, 0);
                    ASSERT_FALSE(line_of_three_from(p, row, col))
                        << "seed " << seed << " at " << row << "," << col;
                }
        }
        end_game();
    }
}

TEST_F(NewGame, EveryPlayerStartsFromTheSameState)
{
    start_game(2);
    for (int i = 0; i < 2; i++) {
        const Player& p = players[i];
        EXPECT_EQ(p.cursor_x, 2);
        EXPECT_EQ(p.cursor_y, 5);
        EXPECT_EQ(p.rise, 10);
        EXPECT_EQ(p.rise_delay, 60);
        EXPECT_EQ(p.rise_countdown, 60);
        EXPECT_EQ(p.busy, 0);
        EXPECT_EQ(p.chain, 0);
        EXPECT_EQ(p.groups, nullptr);
        EXPECT_EQ(p.score, 0);
        EXPECT_EQ(p.topped_out, 0);
        EXPECT_EQ(p.cursor_images[0], asset_bitmap(Asset::cursor_a));
        EXPECT_EQ(p.cursor_images[1], asset_bitmap(Asset::cursor_b));
    }
    EXPECT_EQ(player_count, 2);
}

TEST_F(NewGame, OnePlayerUsesTheArrowsAndTwoPlayersSplitTheKeyboard)
{
    const uint8_t arrows[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_RSHIFT, KEY_RCONTROL};
    const uint8_t wasd[] = {KEY_W, KEY_S, KEY_A, KEY_D, KEY_LSHIFT, KEY_LCONTROL};
    start_game(1);
    for (int k = 0; k < KEY_ROLE_COUNT; k++)
        EXPECT_EQ(players[0].keys[k], arrows[k]) << "role " << k;
    end_game();
    start_game(2);
    for (int k = 0; k < KEY_ROLE_COUNT; k++) {
        EXPECT_EQ(players[0].keys[k], wasd[k]) << "role " << k;
        EXPECT_EQ(players[1].keys[k], arrows[k]) << "role " << k;
    }
}

TEST_F(NewGame, ForgetsWhichKeysWereHeldLastGame)
{
    key_latch[KEY_LEFT] = 1;
    key_latch[KEY_A] = 1;
    start_game(1);
    EXPECT_EQ(key_latch[KEY_LEFT], 0);
    EXPECT_EQ(key_latch[KEY_A], 0);
}

TEST_F(NewGame, TilesAreCutFromTheStripWithTheMaskColourMadeZero)
{
    BITMAP* strip = asset_bitmap(Asset::tile_strip);
    const int mask = bitmap_mask_color(strip);
    putpixel(strip, 3 * 32 + 5, 7, mask);
    start_game(1);
    for (int n = 1; n <= color_count; n++) {
        EXPECT_EQ(getpixel(tile_images[n], 0, 0), fake_tile_color(n)) << "tile " << n;
        EXPECT_EQ(getpixel(tile_images[n], 31, 31), fake_tile_color(n)) << "tile " << n;
    }
    EXPECT_EQ(getpixel(tile_images[3], 5, 7), 0);
    EXPECT_EQ(getpixel(tile_images[0], 10, 10), 0);
    EXPECT_NE(fake_tile_color(0), 0);
}

TEST_F(NewGame, PlayerOnesWellIsPlayerTwosMirroredExceptWhereItIsMasked)
{
    BITMAP* picture = asset_bitmap(Asset::well_background);
    const int left = makecol(200, 40, 40);
    const int mask = bitmap_mask_color(picture);
    rectfill(picture, 0, 0, picture->w / 4, picture->h - 1, left);
    rectfill(picture, picture->w / 2, 10, picture->w - 1, 20, mask);
    start_game(2);
    BITMAP* one = players[0].background;
    BITMAP* two = players[1].background;
    int mirrored = 0, kept = 0;
    for (int y = 0; y < well_height; y++)
        for (int x = 0; x < well_width; x++) {
            const int source = getpixel(two, well_width - 1 - x, y);
            if (source == mask) {
                ASSERT_EQ(getpixel(one, x, y), getpixel(two, x, y)) << x << "," << y;
                kept++;
            } else {
                ASSERT_EQ(getpixel(one, x, y), source) << x << "," << y;
                mirrored++;
            }
        }
    EXPECT_GT(kept, 0);
    EXPECT_GT(mirrored, 0);
    EXPECT_EQ(getpixel(one, well_width - 1, 200), left) << "the red stripe is on the right";
    EXPECT_EQ(getpixel(two, 0, 200), left);
}

} // namespace
