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

TEST_F(NewGame, StartsWithSixFullRowsAndNoLineOfThree)
{
    for (unsigned seed = 1; seed <= 300; seed++) {
        std::srand(seed);
        start_game(2);
        for (int i = 0; i < 2; i++)
            for (int row = 0; row < grid_rows; row++)
                for (int col = 0; col < well_cols; col++) {
                    const auto& g = players[i].grid;
                    const Cell& cell = g[row][col];
                    const int c = cell.color;
                    const bool across = col + 2 < well_cols && g[row][col + 1].color == c &&
                                        g[row][col + 2].color == c;
                    const bool down = row + 2 < grid_rows && g[row + 1][col].color == c &&
                                      g[row + 2][col].color == c;
                    ASSERT_TRUE((c == 0) == (row < 6) && c <= color_count &&
                                cell.state == CELL_IDLE && !cell.fall_offset && !cell.slide_offset &&
                                !(c && (across || down)))
                        << "seed " << seed << " player " << i << " at " << row << "," << col;
                }
        end_game();
    }
}

// One player has the arrows; of two, player 1 has W A S D and the left modifiers.
TEST_F(NewGame, EveryPlayerStartsFromTheSameStateWithItsKeys)
{
    const uint8_t arrows[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_RSHIFT, KEY_RCONTROL};
    const uint8_t wasd[] = {KEY_W, KEY_S, KEY_A, KEY_D, KEY_LSHIFT, KEY_LCONTROL};
    for (int count : {1, 2}) {
        SCOPED_TRACE(count);
        key_latch[KEY_LEFT] = key_latch[KEY_A] = 1; // held at the end of the last game
        start_game(count);
        EXPECT_EQ(player_count, count);
        EXPECT_EQ(key_latch[KEY_LEFT] + key_latch[KEY_A], 0);
        for (int i = 0; i < count; i++) {
            const Player& p = players[i];
            EXPECT_EQ((std::vector<int>{p.cursor_x, p.cursor_y, p.rise, p.rise_delay, p.rise_countdown,
                                        p.busy, p.chain, p.score, p.topped_out}),
                      (std::vector<int>{2, 5, 10, 60, 60, 0, 0, 0, 0}));
            EXPECT_EQ(p.groups, nullptr);
            EXPECT_EQ(p.cursor_images[0], asset_bitmap(Asset::cursor_a));
            EXPECT_EQ(p.cursor_images[1], asset_bitmap(Asset::cursor_b));
            const uint8_t* keys = count == 2 && i == 0 ? wasd : arrows;
            for (int k = 0; k < KEY_ROLE_COUNT; k++)
                EXPECT_EQ(p.keys[k], keys[k]) << "player " << i << " role " << k;
        }
        end_game();
    }
}

TEST_F(NewGame, TilesAreCutFromTheStripWithTheMaskColourMadeZero)
{
    BITMAP* strip = asset_bitmap(Asset::tile_strip);
    putpixel(strip, 3 * 32 + 5, 7, bitmap_mask_color(strip));
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
            const bool masked = source == mask;
            ASSERT_EQ(getpixel(one, x, y), masked ? getpixel(two, x, y) : source) << x << "," << y;
            (masked ? kept : mirrored)++;
        }
    EXPECT_GT(kept, 0);
    EXPECT_GT(mirrored, 0);
    EXPECT_EQ(getpixel(one, well_width - 1, 200), left) << "the red stripe is on the right";
    EXPECT_EQ(getpixel(two, 0, 200), left);
}

} // namespace
