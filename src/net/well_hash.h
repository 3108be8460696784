// A well's state as one number, for two machines to compare their copies of it.
#pragma once

#include <cstdint>

#include "game/game.h"

// FNV-1a over every field of the player and of its own generator, field by field so that no
// padding byte counts. Only meaningful in a game of separate wells.
uint64_t well_hash(const GameState& game, int player);
