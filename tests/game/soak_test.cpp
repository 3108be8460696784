// A long seeded run of random key presses for two players, checking the rules'
// invariants after every tick.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "game/popups.h"
#include "game/update.h"
#include "scenario.h"

namespace {

const int player_keys[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_RSHIFT, KEY_RCONTROL,
                           KEY_W,  KEY_S,    KEY_A,    KEY_D,     KEY_LSHIFT, KEY_LCONTROL};

// Taken before a tick: what the blocks should number after it.
struct Before {
    int blocks = 0, clearing_now = 0, top_row = 0, rise = 0;
    explicit Before(const Player& p) : blocks(count_blocks(p)), rise(p.rise)
    {
        for (const ActionGroup* g = p.groups; g; g = g->next)
            for (const GroupCell* c = g->cells; c && g->kind == GROUP_CLEAR && g->timer <= 2; c = c->next)
                clearing_now++;
        for (const Cell& cell : p.grid[0])
            top_row += cell.color != 0;
    }
};

// Returns the first invariant broken, as written; cheap enough for every cell every tick.
#define REQUIRE(invariant) if (!(invariant)) return #invariant

const char* cell_problem(const Cell& c)
{
    REQUIRE(c.color >= 0 && c.color <= color_count && c.state >= CELL_IDLE && c.state <= CELL_RESERVED);
    REQUIRE(c.state != CELL_MATCHED); // matched cells turn clearing on the same tick
    REQUIRE(c.fall_offset == 0 || (c.fall_offset == 16 && c.state == CELL_FALLING));
    REQUIRE(c.color != 0 || c.state == CELL_IDLE || c.state == CELL_SWAPPING || c.state == CELL_RESERVED);
    REQUIRE(c.color == 0 || c.state != CELL_RESERVED);
    REQUIRE(c.state != CELL_HOVERING || (c.timer >= 0 && c.timer <= 15));
    REQUIRE(c.slide_offset == 0 ||
            (c.state == CELL_SWAPPING && c.slide_offset % 8 == 0 && std::abs(c.slide_offset) <= 24));
    return nullptr;
}

std::string player_problem(const Player& p, const Before& before)
{
    for (const Cell& c : p.grid[preview_row])
        REQUIRE(c.color >= 1 && c.state == CELL_IDLE && !c.fall_offset && !c.slide_offset);
    for (int row = 0; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++)
            if (const char* problem = cell_problem(p.grid[row][col]))
                return problem + (" at " + std::to_string(row) + "," + std::to_string(col));
    REQUIRE((p.busy != 0) == (p.groups != nullptr));
    REQUIRE(p.cursor_x >= 0 && p.cursor_x <= 4 && p.cursor_y >= 0 && p.cursor_y <= 11);
    REQUIRE(p.rise >= 0 && p.rise <= 31 && p.rise_delay >= 5 && p.rise_delay <= 60);
    REQUIRE(p.rise_countdown <= p.rise_delay);
    REQUIRE(p.chain >= 0 && p.score >= 0);
    const bool shifted = before.rise == 31 && p.rise == 0;
    const int expected = before.blocks - before.clearing_now + (shifted ? well_cols - before.top_row : 0);
    if (count_blocks(p) != expected)
        return "blocks appeared or vanished: " + std::to_string(count_blocks(p)) + " for " +
               std::to_string(expected);
    return "";
}

TEST(Soak, RandomPlayKeepsEveryInvariant)
{
    Scenario s(2, 12345);
    std::mt19937 random(2024);
    std::bernoulli_distribution toggle_move(0.25), toggle_swap(0.35), toggle_raise(0.01);
    int games = 1, matches = 0, shifts = 0, falls = 0, since_start = 0;
    for (int t = 0; t < 1000000; t++) {
        for (int k : player_keys) {
            auto& toggle = k == KEY_RCONTROL || k == KEY_LCONTROL ? toggle_raise
                           : k == KEY_RSHIFT || k == KEY_LSHIFT   ? toggle_swap : toggle_move;
            if (toggle(random))
                key[k] = !key[k];
        }
        const Before before[2] = {Before(players[0]), Before(players[1])};
        const int32_t scores[2] = {players[0].score, players[1].score};
        const bool topped_out = update_players();
        update_popups();
        for (int i = 0; i < 2; i++) {
            ASSERT_EQ(player_problem(players[i], before[i]), "") << "tick " << t << " player " << i;
            matches += players[i].score > scores[i] + 1;
            shifts += before[i].rise == 31 && players[i].rise == 0;
            for (const auto& row : players[i].grid)
                for (const Cell& cell : row)
                    falls += cell.state == CELL_FALLING;
        }
        if (topped_out || ++since_start == game_ticks) {
            end_game();
            clear_popups();
            start_game(2);
            games++;
            since_start = 0;
        }
    }
    // The run must have exercised what it checks.
    EXPECT_GT(matches, 1000);
    EXPECT_GT(shifts, 100);
    EXPECT_GT(falls, 1000);
    EXPECT_GT(games, 10);
}

} // namespace
