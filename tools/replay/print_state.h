// One line of replay output per player per tick.
#pragma once

#include <string>

#include "game/player.h"

// "tick player score chain cursor_x cursor_y rise rise_delay rise_countdown busy
// topped_out groups grid", the grid being rows 0-12 of
// color.state.fall_offset.slide_offset.timer joined by ','; `number` counts from 1.
std::string player_line(int tick, int number, const Player& player);
