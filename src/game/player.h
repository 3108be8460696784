// One player's state (well, cursor, rise, pending actions, keys, score) and its set-up.
#pragma once

#include <allegro.h>
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
    GROUP_CLEAR = 1,
    GROUP_SWAP = 2,
};

struct GroupCell {
    int8_t row;
    int8_t col;
    GroupCell* next;
};

struct ActionGroup {
    GroupCell* cells; // newest first
    int8_t timer;
    uint8_t kind;     // a GroupKind
    ActionGroup* next;
};

enum KeyRole { KEY_ROLE_UP, KEY_ROLE_DOWN, KEY_ROLE_LEFT, KEY_ROLE_RIGHT, KEY_ROLE_SWAP, KEY_ROLE_RAISE, KEY_ROLE_COUNT };

struct Player {
    Cell grid[grid_rows][well_cols];
    BITMAP* background;      // 192x384, owned
    BITMAP* view;            // sub-bitmap of the frame buffer, owned
    BITMAP* cursor_images[2];
    int16_t well_x, well_y;
    int8_t cursor_x, cursor_y;
    uint16_t busy;
    int8_t rise;
    int16_t rise_delay;
    uint8_t rise_countdown;
    int8_t chain;
    ActionGroup* groups;     // newest first
    uint8_t keys[KEY_ROLE_COUNT];
    int32_t score;
    uint8_t topped_out;
};

extern Player* players;
extern uint8_t player_count;
extern BITMAP* tile_images[color_count + 1];
extern uint8_t key_latch[256];

// Builds `players` for a new game of `count` (1 or 2) players.
void start_game(int count);
void init_player(Player& player);
// Gives the player its well: a 192x384 sub-bitmap of `frame_buffer` at (x, y).
void attach_well(int index, BITMAP* frame_buffer, int16_t x, int16_t y);
// Releases everything start_game and attach_well made.
void end_game();

// Puts a new, empty group at the head of `list`; nullptr when no memory can be had.
ActionGroup* push_group(ActionGroup*& list, uint8_t kind);
// Puts a cell at the head of the group's list; false when no memory can be had.
bool push_group_cell(ActionGroup* group, int8_t row, int8_t col);
// Frees every group of the list and its cells.
void free_groups(ActionGroup*& list);
