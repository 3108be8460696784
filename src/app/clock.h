// The 60 Hz tick clock that paces a game, and the game's clock.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int ticks_per_second = 60;

// Written only by tick_handler, in the library's timer context; read by the main thread.
extern std::atomic<uint32_t> tick_count;

// Ticks left in the current game; set and counted down by the game loop.
extern int32_t time_left;

void tick_handler();
