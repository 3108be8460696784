// A whole game as one value, and the tick that advances it.
#pragma once

#include <cstdint>

#include "game/input.h"
#include "game/player.h"
#include "game/popups.h"
#include "game/random.h"

// Everything a game is: a seed and the inputs of every tick give the same state again.
struct GameState {
    Player players[max_players];
    uint8_t player_count;
    PopupList popups;
    GameRandom random;
    uint32_t seed;     // what the generator started from
    int32_t time_left; // ticks left; 0 once the game is over
    int32_t ticks;     // ticks simulated
    // A network game's wells each draw from a generator of their own, so that one machine can
    // play its well ahead of the other's; 0 in every other game, which shares `random`.
    uint8_t separate_wells;
    GameRandom well_randoms[max_players];
};

// What a tick did that the screens show or play.
enum class EventKind : uint8_t {
    match,       // `player` scored; its popup shows `chain`, above (`row`, `col`)
    top_out,     // `player`'s stack reached row 0: the game is over
    warning,     // 15 seconds left
    last_moment, // half a second left
};

struct GameEvent {
    EventKind kind;
    uint8_t player;
    int8_t chain;
    int8_t row, col;
};

// A match and a top-out per player, and one moment of the clock.
constexpr int max_tick_events = 2 * max_players + 1;

struct TickEvents {
    GameEvent list[max_tick_events]; // in the order they happened
    uint8_t count;
};

using TickInputs = PlayerInput[max_players];

// A new game of `count` (1 or 2) players, its wells drawn from `seed`.
void start_game(GameState& game, int count, uint32_t seed);
// The same with separate wells: each player's generator starts from well_seed(seed, player).
void start_separate_game(GameState& game, int count, uint32_t seed);
uint32_t well_seed(uint32_t seed, int player);

// One tick: every player's update_players steps, the popups, then the clock.
TickEvents update_game(GameState& game, const TickInputs& inputs);

// The players' part of a tick; true if any player topped out.
bool update_players(GameState& game, const TickInputs& inputs, TickEvents& events);
// One player's part of a tick alone; true if that player topped out. Only a game of separate
// wells may be advanced one well at a time: shared draws would depend on the order.
bool update_well(GameState& game, int player, PlayerInput input, TickEvents& events);

inline bool game_is_over(const GameState& game) { return game.time_left == 0; }
