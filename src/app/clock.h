// The 60 Hz tick clock that paces a game.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int ticks_per_second = 60;

// Written only by tick_handler, in the library's timer context; read by the main thread.
extern std::atomic<uint32_t> tick_count;

void tick_handler();
