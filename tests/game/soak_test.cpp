// A million ticks of seeded random play for two players, every invariant checked after each,
// beside a twin game that must stay the same to the byte; and the generator the wells come from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <type_traits>

#include "game/game.h"

namespace {

static_assert(std::is_trivially_copyable_v<GameState>, "a game state copies as bytes");
constexpr int soak_ticks = 1000000;

// In rows `first` to `last`.
int count_blocks(const Player& p, int first = 0, int last = grid_rows - 1)
{
    const Cell* from = &p.grid[first][0];
    return int(std::count_if(from, from + (last + 1 - first) * well_cols, [](const Cell& c) { return c.color != 0; }));
}

// Taken before a tick: what the blocks should number after it.
struct Before {
    int blocks = 0, clearing_now = 0, top_row = 0, rise = 0;
    int32_t score = 0;
    explicit Before(const Player& p) : blocks(count_blocks(p)), top_row(count_blocks(p, 0, 0)), rise(p.rise), score(p.score)
    {
        for (int8_t g = p.groups; g != no_link; g = group_at(p, g).next)
            for (int8_t c = group_at(p, g).cells; c != no_link; c = cell_at(p, c).next)
                clearing_now += group_at(p, g).kind == GROUP_CLEAR && group_at(p, g).timer <= group_timer_step;
    }
};

// The first invariant broken, as written; cheap enough for every cell of every tick.
#define REQUIRE(invariant) if (!(invariant)) return #invariant

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
    // The preview row is whole, idle and without a row of three; so is a new game's stack.
    REQUIRE(row < preview_row || (c.color >= 1 && c.state == CELL_IDLE && !c.fall_offset && !c.slide_offset));
    REQUIRE(row < preview_row || col < 2 || c.color != p.grid[row][col - 1].color || c.color != p.grid[row][col - 2].color);
    return nullptr;
}

// A new game's wells: rows 6-12 filled without a line of three, the rest empty, all idle.
const char* new_well_problem(const Player& p)
{
    for (int row = 0; row < grid_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            const Cell& c = p.grid[row][col];
            REQUIRE((c.color == 0) == (row < first_filled_row) && c.state == CELL_IDLE);
            REQUIRE(col < 2 || c.color == 0 || c.color != p.grid[row][col - 1].color || c.color != p.grid[row][col - 2].color);
            REQUIRE(row < 2 || c.color == 0 || c.color != p.grid[row - 1][col].color || c.color != p.grid[row - 2][col].color);
        }
    return "";
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
            clearing += clear;
            swapping += clear ? 0 : 2;
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
    for (int row = 0; row < grid_rows; row++)
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
    REQUIRE(count_blocks(p) == expected); // no block appears or vanishes
    return "";
}

// What a tick's events say against what it did: a match scores more than a raise ever earns,
// and a top-out ends the game and zeroes that player's score. Popups are newest first.
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
        REQUIRE(game.popups.items[i].life < popup_life && (i == 0 || game.popups.items[i - 1].life >= game.popups.items[i].life));
    return "";
}

TEST(Soak, RandomPlayKeepsEveryInvariant)
{
    GameState game, twin;
    uint32_t seed = 12345;
    int matches[popup_life] = {}; // on each of the last ticks
    // Each game starts over the last one's bytes, its twin over bytes all ones.
    const auto start = [&] {
        start_game(game, max_players, seed);
        std::memset(static_cast<void*>(&twin), 0xff, sizeof twin);
        start_game(twin, max_players, seed);
        std::fill(std::begin(matches), std::end(matches), 0);
    };
    start();
    std::mt19937 random(2024);
    std::bernoulli_distribution toggle_move(0.25), toggle_swap(0.35), toggle_raise(0.01);
    TickInputs inputs{};
    PopupList flood{};
    int games = 1, chains = 0, shifts = 0;
    for (int t = 0; t < soak_ticks; t++) {
        for (int i = 0; i < max_players && game.ticks == 0; i++)
            ASSERT_STREQ(new_well_problem(game.players[i]), "") << "seed " << seed << " player " << i;
        for (PlayerInput& input : inputs)
            for (int a = 0; a < action_count; a++) {
                auto& toggle = a == ACTION_RAISE ? toggle_raise : a == ACTION_SWAP ? toggle_swap : toggle_move;
                if (toggle(random))
                    input.held ^= action_bit(static_cast<Action>(a));
            }
        if (t % 1000 == 500)
            twin = game; // a copy plays on as the original does
        const Before before[max_players] = {Before(game.players[0]), Before(game.players[1])};
        const TickEvents events = update_game(game, inputs), twin_events = update_game(twin, inputs);
        ASSERT_TRUE(std::memcmp(&game, &twin, sizeof game) == 0 && events.count == twin_events.count &&
                    std::memcmp(events.list, twin_events.list, sizeof(GameEvent) * events.count) == 0) << "tick " << t;
        int& matched = matches[t % popup_life] = 0;
        for (int i = 0; i < events.count; i++) {
            matched += events.list[i].kind == EventKind::match;
            chains += events.list[i].kind == EventKind::match && events.list[i].chain > 1;
        }
        ASSERT_EQ(events_problem(game, events, before), "") << "tick " << t;
        ASSERT_EQ(game.popups.count, std::accumulate(std::begin(matches), std::end(matches), 0)) << "each match's popup lives as long as any";
        for (int i = 0; i < max_players; i++) {
            ASSERT_EQ(player_problem(game.players[i], before[i]), "") << "tick " << t << " player " << i;
            shifts += before[i].rise == cell_size - 1 && game.players[i].rise == 0;
        }
        // Every player scoring on every tick, as no game can: the list still keeps each popup its life.
        for (uint8_t i = 0; i < max_players; i++)
            spawn_popup(flood, 1, i, 0, 0);
        ASSERT_TRUE(flood.count == max_players * std::min(t + 1, popup_life + 1) && flood.items[flood.count - 1].life == std::max(popup_life - t, 0));
        update_popups(flood);
        if (game_is_over(game)) {
            seed++, games++;
            start();
        }
    }
    // The run must have exercised what it checks; a chain needs a fall.
    EXPECT_TRUE(chains > 1000 && shifts > 3000 && games > 100) << chains << " chains, " << shifts << " shifts, " << games << " games";
}

// 0 stands for 1; past 2^31 glibc's signed state word starts negative.
TEST(Random, DrawsWhatRandDrawsAfterSrandForEverySeed)
{
    const uint32_t chosen[] = {0, 1, 2, 7, 127773, 2147483646u, 2147483647u, 2147483648u, 3000000000u, 4294967295u};
    std::mt19937 pick(99);
    for (int i = 0; i < 210; i++) {
        const uint32_t seed = i < 10 ? chosen[i] : static_cast<uint32_t>(pick());
        GameRandom random;
        seed_random(random, seed);
        std::srand(seed);
        for (int draw = 0; draw < 1000; draw++)
            ASSERT_EQ(next_random(random), std::rand()) << "seed " << seed << " draw " << draw;
    }
}

} // namespace
