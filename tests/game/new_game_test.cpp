// A new game: wells without a line of three, and every player starting from the same state.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/game.h"

namespace {

constexpr uint32_t seeds_tried = 300;

bool line_of_three_from(const Player& p, int row, int col)
{
    const int c = p.grid[row][col].color;
    const bool across = col + 2 < well_cols && p.grid[row][col + 1].color == c && p.grid[row][col + 2].color == c;
    const bool down = row + 2 < grid_rows && p.grid[row + 1][col].color == c && p.grid[row + 2][col].color == c;
    return c != 0 && (across || down);
}

TEST(NewGame, FillsTheLowerRowsWithoutALineOfThree)
{
    for (uint32_t seed = 0; seed < seeds_tried; seed++)
        for (int count = 1; count <= max_players; count++) {
            GameState game;
            start_game(game, count, seed);
            for (int i = 0; i < count; i++)
                for (int row = 0; row < grid_rows; row++)
                    for (int col = 0; col < well_cols; col++) {
                        const Cell& cell = game.players[i].grid[row][col];
                        ASSERT_TRUE((cell.color == 0) == (row < first_filled_row) && cell.color <= color_count &&
                                    cell.state == CELL_IDLE && !cell.fall_offset && !cell.slide_offset &&
                                    !line_of_three_from(game.players[i], row, col))
                            << "seed " << seed << " player " << i << " at " << row << "," << col;
                    }
        }
}

TEST(NewGame, EveryPlayerStartsFromTheSameState)
{
    for (int count = 1; count <= max_players; count++) {
        SCOPED_TRACE(count);
        GameState game;
        start_game(game, count, 3);
        EXPECT_EQ((std::vector<int>{game.player_count, game.time_left, game.ticks, game.popups.count, int(game.seed)}),
                  (std::vector<int>{count, game_ticks, 0, 0, 3}));
        for (int i = 0; i < count; i++) {
            const Player& p = game.players[i];
            EXPECT_EQ((std::vector<int>{p.cursor_x, p.cursor_y, p.rise, p.rise_delay, p.rise_countdown, p.busy,
                                        p.chain, p.score, p.topped_out, p.key_latch, count_groups(p)}),
                      (std::vector<int>{start_cursor_x, start_cursor_y, start_rise, start_rise_delay, start_rise_delay,
                                        0, 0, 0, 0, 0, 0}))
                << "player " << i;
            // Every slot of the group store is free for the game's actions.
            GameState fresh = game;
            for (int g = 0; g < max_groups; g++)
                ASSERT_NE(push_group(fresh.players[i], GROUP_SWAP), nullptr) << g;
            EXPECT_EQ(push_group(fresh.players[i], GROUP_SWAP), nullptr);
        }
    }
}

// The last player's well is drawn first, so a seed gives one player the well it gives the
// second of two; different seeds give different wells.
TEST(NewGame, ASeedKeepsItsWells)
{
    int differing = 0;
    for (uint32_t seed = 1; seed <= seeds_tried; seed++) {
        GameState one, two, next;
        start_game(one, 1, seed);
        start_game(two, 2, seed);
        start_game(next, 1, seed + 1);
        ASSERT_EQ(std::memcmp(one.players[0].grid, two.players[1].grid, sizeof one.players[0].grid), 0) << seed;
        differing += std::memcmp(one.players[0].grid, next.players[0].grid, sizeof one.players[0].grid) != 0;
    }
    EXPECT_EQ(differing, static_cast<int>(seeds_tried));
}

} // namespace
