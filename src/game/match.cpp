// Lines of three or more idle blocks: finding them, scoring them, starting their clear.
#include <cmath>
#include <cstdint>

#include "game/steps.h"

namespace {

bool joins_run(const Cell& cell, const Cell& previous)
{
    return cell.color != 0 && cell.color == previous.color && cell.state == CELL_IDLE &&
           previous.state == CELL_IDLE;
}

// Runs along rows first, so a column crossing a matched row is cut at the shared cell.
bool mark_rows(Player& player)
{
    bool matched = false;
    for (int row = 0; row < well_rows; row++) {
        int run = 0;
        for (int k = 1; k <= well_cols; k++) {
            if (k < well_cols && joins_run(player.grid[row][k], player.grid[row][k - 1])) {
                run++;
                continue;
            }
            if (run >= min_line - 1) {
                for (int col = k - 1 - run; col <= k - 1; col++)
                    player.grid[row][col].state = CELL_MATCHED;
                matched = true;
            }
            run = 0;
        }
    }
    return matched;
}

bool mark_columns(Player& player)
{
    bool matched = false;
    for (int col = 0; col < well_cols; col++) {
        int run = 0;
        for (int k = 1; k <= well_rows; k++) {
            if (k < well_rows && joins_run(player.grid[k][col], player.grid[k - 1][col])) {
                run++;
                continue;
            }
            if (run >= min_line - 1) {
                for (int row = k - 1 - run; row <= k - 1; row++)
                    player.grid[row][col].state = CELL_MATCHED;
                matched = true;
            }
            run = 0;
        }
    }
    return matched;
}

// Without a group to time the clear the lines are let go; they are found again next tick.
void release_matches(Player& player)
{
    for (int row = 0; row < well_rows; row++)
        for (Cell& cell : player.grid[row])
            if (cell.state == CELL_MATCHED)
                cell.state = CELL_IDLE;
}

} // namespace

bool find_matches(Player& player)
{
    const bool rows = mark_rows(player);
    const bool columns = mark_columns(player);
    return rows || columns;
}

void add_points(int32_t& score, double points)
{
    const double total = static_cast<double>(score) + points;
    score = total >= static_cast<double>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(total);
}

// One match event per tick, however many lines: one sound, one score, one group, one popup.
void score_matches(Player& player, uint8_t index, PopupList& popups, TickEvents& events)
{
    // The store holds a slot for every matched cell the well can have; were one missing,
    // the lines would wait for the next tick rather than clear untimed.
    ActionGroup* group = push_group(player, GROUP_CLEAR);
    if (!group) {
        release_matches(player);
        return;
    }
    add_points(player.score, std::pow(2.0, player.chain) * base_match_points);
    if (player.chain < max_chain)
        player.chain++;
    bool first = true;
    for (int row = 0; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            Cell& cell = player.grid[row][col];
            if (cell.state != CELL_MATCHED)
                continue;
            const int8_t r = static_cast<int8_t>(row), c = static_cast<int8_t>(col);
            if (!push_group_cell(player, *group, r, c)) {
                cell.state = CELL_IDLE;
                continue;
            }
            cell.state = CELL_CLEARING;
            if (first) {
                add_event(events, GameEvent{EventKind::match, index, player.chain, r, c});
                spawn_popup(popups, player.chain, index, r, c);
            }
            first = false;
        }
    player.busy = 1;
}
