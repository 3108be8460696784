// The steps of one player's tick, in the order update_players runs them.
#pragma once

#include <cstdint>

#include "game/game.h"

// True only on the first tick the action is seen held after it was seen released. The
// latch of an action changes only when it is asked about.
bool key_pressed_once(Player& player, PlayerInput input, Action action);
// Cursor and swap.
void move_cursor(Player& player, PlayerInput input);
void start_swap(Player& player, PlayerInput input);
// Automatic and forced rise; true if this step topped the player out.
bool rise_stack(Player& player, PlayerInput input, GameRandom& random);
// The delay between automatic rise steps that a score earns.
int16_t rise_delay_for(int32_t score);
// Hovering and falling blocks.
void fall_blocks(Player& player);
// Marks every line of three or more idle blocks CELL_MATCHED; true if any was found.
bool find_matches(Player& player);
// Turns the matched cells into one clear group, scores it, and reports it with a popup.
void score_matches(Player& player, uint8_t index, PopupList& popups, TickEvents& events);
// Adds points without overflowing: the score stops at INT32_MAX.
void add_points(int32_t& score, double points);
// Counts down pending swaps and clears and finishes those whose time is up.
void advance_actions(Player& player);
void end_tick(Player& player);

void add_event(TickEvents& events, const GameEvent& event);
