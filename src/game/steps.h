// The steps of one player's tick, in the order update_players runs them.
#pragma once

#include <cstdint>

#include "game/player.h"

// Cursor and swap keys.
void move_cursor(Player& player);
void start_swap(Player& player);
// Automatic and forced rise; true if this step topped the player out.
bool rise_stack(Player& player);
// The delay between automatic rise steps that a score earns.
int16_t rise_delay_for(int32_t score);
// Hovering and falling blocks.
void fall_blocks(Player& player);
// Marks every line of three or more idle blocks CELL_MATCHED; true if any was found.
bool find_matches(Player& player);
// Turns the matched cells into one clear group and scores it; `index` pans the sound.
void score_matches(Player& player, int index);
// Adds points without overflowing: the score stops at INT32_MAX.
void add_points(int32_t& score, double points);
// Counts down pending swaps and clears and finishes those whose time is up.
void advance_actions(Player& player);
void end_tick(Player& player);
