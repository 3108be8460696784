// A million ticks of seeded random play for two players, every invariant checked after each.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "game/game.h"

namespace {

constexpr int soak_ticks = 1000000;

int count_blocks(const Player& p)
{
    int blocks = 0;
    for (const auto& row : p.grid)
        for (const Cell& cell : row)
            blocks += cell.color != 0;
    return blocks;
}

// Taken before a tick: what the blocks should number after it.
struct Before {
    int blocks = 0, clearing_now = 0, top_row = 0, rise = 0;
    int32_t score = 0;
    explicit Before(const Player& p) : blocks(count_blocks(p)), rise(p.rise), score(p.score)
    {
        for (int8_t g = p.groups; g != no_link; g = group_at(p, g).next)
            for (int8_t c = group_at(p, g).cells; c != no_link; c = cell_at(p, c).next)
                clearing_now += group_at(p, g).kind == GROUP_CLEAR && group_at(p, g).timer <= group_timer_step;
        for (const Cell& cell : p.grid[0])
            top_row += cell.color != 0;
    }
};

// The first invariant broken, as written; cheap enough for every cell of every tick.
#define REQUIRE(invariant) \
    if (!(invariant))      \
    return #invariant

const char* cell_problem(const Player& p, int row, int col)
{
    const Cell& c = p.grid[row][col];
    REQUIRE(c.color >= 0 && c.color <= color_count && c.state >= CELL_IDLE && c.state <= CELL_RESERVED);
    REQUIRE(c.state != CELL_MATCHED); // matched cells turn clearing on the same tick
    REQUIRE(c.fall_offset == 0 || (c.fall_offset == fall_step && c.state == CELL_FALLING));
    REQUIRE(c.color != 0 || c.state == CELL_IDLE || c.state == CELL_SWAPPING || c.state == CELL_RESERVED);
    REQUIRE(c.color == 0 || c.state != CELL_RESERVED);
    REQUIRE(c.state != CELL_RESERVED || (row > 0 && (p.grid[row - 1][col].state == CELL_HOVERING ||
                                                     p.grid[row - 1][col].state == CELL_FALLING)));
    REQUIRE(c.state != CELL_HOVERING || (c.timer >= 0 && c.timer <= hover_ticks));
    REQUIRE(c.slide_offset == 0 || (c.state == CELL_SWAPPING && c.slide_offset % swap_slide_step == 0 &&
                                    std::abs(c.slide_offset) < swap_slide_done));
    return nullptr;
}

// The group store's slots are each in use or free, once; the groups hold exactly the cells
// that are clearing or swapping.
const char* store_problem(const Player& p)
{
    int groups = 0, cells = 0, clearing = 0, swapping = 0;
    for (int8_t g = p.groups; g != no_link && groups <= max_groups; g = group_at(p, g).next, groups++)
        for (int8_t c = group_at(p, g).cells; c != no_link && cells <= max_group_cells; c = cell_at(p, c).next, cells++) {
            const GroupCell& at = cell_at(p, c);
            const bool clear = group_at(p, g).kind == GROUP_CLEAR;
            REQUIRE(group_at(p, g).kind == GROUP_CLEAR || group_at(p, g).kind == GROUP_SWAP);
            REQUIRE(p.grid[at.row][at.col].state == (clear ? CELL_CLEARING : CELL_SWAPPING));
            REQUIRE(clear || p.grid[at.row][at.col + 1].state == CELL_SWAPPING);
            if (clear)
                clearing++;
            else
                swapping += 2;
        }
    for (int8_t g = p.store.free_group; g != no_link && groups <= max_groups; g = group_at(p, g).next)
        groups++;
    for (int8_t c = p.store.free_cell; c != no_link && cells <= max_group_cells; c = cell_at(p, c).next)
        cells++;
    REQUIRE(groups == max_groups && cells == max_group_cells);
    for (const auto& row : p.grid)
        for (const Cell& cell : row) {
            clearing -= cell.state == CELL_CLEARING;
            swapping -= cell.state == CELL_SWAPPING;
        }
    REQUIRE(clearing == 0 && swapping == 0);
    return nullptr;
}

std::string player_problem(const Player& p, const Before& before)
{
    for (int col = 0; col < well_cols; col++) {
        const Cell& c = p.grid[preview_row][col];
        REQUIRE(c.color >= 1 && c.state == CELL_IDLE && !c.fall_offset && !c.slide_offset);
        REQUIRE(col < 2 || c.color != p.grid[preview_row][col - 1].color || c.color != p.grid[preview_row][col - 2].color);
    }
    for (int row = 0; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++)
            if (const char* problem = cell_problem(p, row, col))
                return problem + (" at " + std::to_string(row) + "," + std::to_string(col));
    if (const char* problem = store_problem(p))
        return problem;
    REQUIRE((p.busy != 0) == (p.groups != no_link));
    REQUIRE(p.cursor_x >= 0 && p.cursor_x <= last_cursor_x && p.cursor_y >= 0 && p.cursor_y < well_rows);
    REQUIRE(p.rise >= 0 && p.rise < cell_size && p.rise_delay >= min_rise_delay && p.rise_delay <= start_rise_delay);
    REQUIRE(p.rise_countdown <= p.rise_delay);
    REQUIRE(p.chain >= 0 && p.score >= 0);
    const bool shifted = before.rise == cell_size - 1 && p.rise == 0;
    const int expected = before.blocks - before.clearing_now + (shifted ? well_cols - before.top_row : 0);
    if (count_blocks(p) != expected)
        return "blocks appeared or vanished: " + std::to_string(count_blocks(p)) + " for " + std::to_string(expected);
    return "";
}

// What a tick's events say against what it did: a match scores more than a raise ever earns,
// and a top-out ends the game and zeroes that player's score.
std::string events_problem(const GameState& game, const TickEvents& events, const Before (&before)[max_players])
{
    bool matched[max_players] = {}, topped[max_players] = {};
    for (int i = 0; i < events.count; i++) {
        const GameEvent& e = events.list[i];
        REQUIRE(e.player < game.player_count);
        if (e.kind == EventKind::match) {
            REQUIRE(!matched[e.player] && e.chain == game.players[e.player].chain);
            matched[e.player] = true;
        }
        topped[e.player] |= e.kind == EventKind::top_out;
    }
    for (int i = 0; i < game.player_count; i++) {
        const Player& p = game.players[i];
        REQUIRE(topped[i] == (p.topped_out != 0));
        REQUIRE(!topped[i] || (p.score == 0 && game_is_over(game)));
        REQUIRE(topped[i] || matched[i] == (p.score - before[i].score > raise_row_bonus));
    }
    for (int i = 0; i < game.popups.count; i++)
        REQUIRE(game.popups.items[i].life <= popup_life && (i == 0 || game.popups.items[i - 1].life >= game.popups.items[i].life));
    return "";
}

TEST(Soak, RandomPlayKeepsEveryInvariant)
{
    GameState game;
    uint32_t seed = 12345;
    start_game(game, max_players, seed);
    std::mt19937 random(2024);
    std::bernoulli_distribution toggle_move(0.25), toggle_swap(0.35), toggle_raise(0.01);
    TickInputs inputs{};
    int games = 1, matches = 0, chains = 0, shifts = 0, falls = 0;
    for (int t = 0; t < soak_ticks; t++) {
        for (PlayerInput& input : inputs)
            for (int a = 0; a < action_count; a++) {
                auto& toggle = a == ACTION_RAISE ? toggle_raise : a == ACTION_SWAP ? toggle_swap : toggle_move;
                if (toggle(random))
                    input.held ^= action_bit(static_cast<Action>(a));
            }
        const Before before[max_players] = {Before(game.players[0]), Before(game.players[1])};
        const TickEvents events = update_game(game, inputs);
        ASSERT_EQ(events_problem(game, events, before), "") << "tick " << t;
        for (int i = 0; i < max_players; i++) {
            const Player& p = game.players[i];
            ASSERT_EQ(player_problem(p, before[i]), "") << "tick " << t << " player " << i;
            shifts += before[i].rise == cell_size - 1 && p.rise == 0;
            for (const auto& row : p.grid)
                for (const Cell& cell : row)
                    falls += cell.state == CELL_FALLING;
        }
        for (int i = 0; i < events.count; i++) {
            matches += events.list[i].kind == EventKind::match;
            chains += events.list[i].kind == EventKind::match && events.list[i].chain > 1;
        }
        if (game_is_over(game)) {
            start_game(game, max_players, ++seed);
            games++;
        }
    }
    // The run must have exercised what it checks.
    EXPECT_GT(matches, 3000);
    EXPECT_GT(chains, 1000);
    EXPECT_GT(shifts, 3000);
    EXPECT_GT(falls, 50000);
    EXPECT_GT(games, 100);
}

} // namespace
