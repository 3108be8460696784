// A long seeded run of random key presses for two players, checking the rules'
// invariants after every tick.
#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>

#include "game/popups.h"
#include "game/update.h"
#include "scenario.h"

namespace {

constexpr int soak_ticks = 1000000;
constexpr int ticks_per_game = 7200;

const int player_keys[] = {KEY_UP,  KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_RSHIFT, KEY_RCONTROL,
                           KEY_W,   KEY_S,    KEY_A,    KEY_D,     KEY_LSHIFT, KEY_LCONTROL};

// What the blocks of a player should number after the tick, worked out before it.
struct Expectation {
    int blocks;
    int clearing_now;  // cells of clear groups that run out this tick
    int top_row;       // blocks a shift would push out
    int8_t rise;
};

Expectation expect(const Player& p)
{
    Expectation e{count_blocks(p), 0, 0, p.rise};
    for (const ActionGroup* g = p.groups; g; g = g->next)
        if (g->kind == GROUP_CLEAR && g->timer - 2 <= 0)
            for (const GroupCell* c = g->cells; c; c = c->next)
                e.clearing_now++;
    for (const Cell& cell : p.grid[0])
        e.top_row += cell.color != 0;
    return e;
}

bool one_of(int value, std::initializer_list<int> allowed)
{
    for (int a : allowed)
        if (value == a)
            return true;
    return false;
}

// What is wrong with a cell, or nullptr. Cheap, so it can run on every cell every tick.
const char* cell_problem(const Cell& cell)
{
    if (cell.color < 0 || cell.color > color_count)
        return "colour out of range";
    if (cell.state < CELL_IDLE || cell.state > CELL_RESERVED)
        return "state out of range";
    if (cell.state == CELL_MATCHED)
        return "matched cells turn clearing on the same tick";
    if (!one_of(cell.fall_offset, {0, 16}) || (cell.fall_offset && cell.state != CELL_FALLING))
        return "bad fall offset";
    if (cell.color == 0 && !one_of(cell.state, {CELL_IDLE, CELL_SWAPPING, CELL_RESERVED}))
        return "an empty cell in a block's state";
    if (cell.color != 0 && cell.state == CELL_RESERVED)
        return "a reserved cell holds a block";
    if (cell.state == CELL_HOVERING && (cell.timer < 0 || cell.timer > 15))
        return "hover timer out of range";
    if (cell.state != CELL_SWAPPING && cell.slide_offset != 0)
        return "slide offset outside a swap";
    if (!one_of(cell.slide_offset, {0, 8, 16, 24, -8, -16, -24}))
        return "bad slide offset";
    return nullptr;
}

std::string player_problem(const Player& p, const Expectation& before)
{
    for (const Cell& cell : p.grid[preview_row])
        if (cell.color < 1 || cell.state != CELL_IDLE || cell.fall_offset || cell.slide_offset)
            return "the preview row is not full and idle";
    for (int row = 0; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++)
            if (const char* problem = cell_problem(p.grid[row][col]))
                return std::string(problem) + " at " + std::to_string(row) + "," +
                       std::to_string(col);
    if ((p.busy != 0) != (p.groups != nullptr))
        return "busy and the group list disagree";
    if (p.cursor_x < 0 || p.cursor_x > 4 || p.cursor_y < 0 || p.cursor_y > 11)
        return "cursor outside the well";
    if (p.rise < 0 || p.rise > 31 || p.rise_delay < 5 || p.rise_delay > 60 ||
        p.rise_countdown > p.rise_delay)
        return "rise out of range";
    if (p.chain < 0 || p.score < 0)
        return "negative chain or score";
    const bool shifted = before.rise == 31 && p.rise == 0;
    const int expected = before.blocks - before.clearing_now +
                         (shifted ? well_cols - before.top_row : 0);
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
    int games = 1, matches = 0, shifts = 0, falls = 0;
    int since_start = 0;
    for (int t = 0; t < soak_ticks; t++) {
        for (int k : player_keys) {
            const bool raise = k == KEY_RCONTROL || k == KEY_LCONTROL;
            const bool swap = k == KEY_RSHIFT || k == KEY_LSHIFT;
            if (raise ? toggle_raise(random) : swap ? toggle_swap(random) : toggle_move(random))
                key[k] = !key[k];
        }
        Expectation before[2] = {expect(players[0]), expect(players[1])};
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
        if (topped_out || ++since_start == ticks_per_game) {
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
    RecordProperty("games", games);
    RecordProperty("matches", matches);
}

} // namespace
