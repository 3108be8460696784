// One player's state: the well, the cursor, the rise, the pending actions and the score.
#pragma once

#include <cstdint>

#include "game/rules.h"

enum CellState : int8_t {
    CELL_IDLE = 0,
    CELL_SWAPPING = 1,
    CELL_MATCHED = 2,
    CELL_CLEARING = 3,
    CELL_HOVERING = 4,
    CELL_FALLING = 5,
    CELL_RESERVED = 6,
};

struct Cell {
    int8_t color;        // 0 empty, 1-5 a block
    int8_t state;        // a CellState
    int8_t fall_offset;  // 0 or 16 while falling
    int8_t slide_offset; // +-8, 16, 24 while a swap animates
    int8_t timer;        // hover ticks left
};

enum GroupKind : uint8_t {
    GROUP_FREE = 0, // a slot of the player's store that no action uses
    GROUP_CLEAR = 1,
    GROUP_SWAP = 2,
};

// Groups and their cells are singly linked lists, newest first, kept in fixed slots inside
// the player so that a game state copies as one value; links are slot numbers.
constexpr int8_t no_link = -1;

struct GroupCell {
    int8_t row;
    int8_t col;
    int8_t next;
};

struct ActionGroup {
    int8_t cells; // newest first
    int8_t timer;
    uint8_t kind; // a GroupKind
    int8_t next;
};

// Every cell of a group is a well cell that no other group holds (a swap owns two, a clear at
// least three), so these never run out.
constexpr int max_groups = well_rows * well_cols / 2;
constexpr int max_group_cells = well_rows * well_cols;

struct GroupStore {
    ActionGroup groups[max_groups];
    GroupCell cells[max_group_cells];
    int8_t free_group; // free slots, linked through `next`
    int8_t free_cell;
};

struct Player {
    Cell grid[grid_rows][well_cols];
    int8_t cursor_x, cursor_y;
    uint16_t busy;
    int8_t rise;
    int16_t rise_delay;
    uint8_t rise_countdown;
    int8_t chain;
    int8_t groups;      // newest first
    uint8_t key_latch;  // one bit per Action: seen held when last asked
    int32_t score;
    uint8_t topped_out;
    GroupStore store;
};

// Empties the player's group list and makes every slot free.
void clear_groups(Player& player);
// Puts a new, empty group at the head of the player's list; nullptr if no slot is free.
ActionGroup* push_group(Player& player, uint8_t kind);
// Puts a cell at the head of the group's list; false if no slot is free.
bool push_group_cell(Player& player, ActionGroup& group, int8_t row, int8_t col);
// Unlinks the group that `link` points at and frees it and its cells; `link` then points at
// the group that followed.
void remove_group(Player& player, int8_t& link);

inline ActionGroup& group_at(Player& player, int8_t slot) { return player.store.groups[slot]; }
inline const ActionGroup& group_at(const Player& player, int8_t slot) { return player.store.groups[slot]; }
inline const GroupCell& cell_at(const Player& player, int8_t slot) { return player.store.cells[slot]; }
int count_groups(const Player& player);
