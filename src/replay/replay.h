// A recorded game: the seed and every change of what each player held, tick by tick, and how
// it ended. The seed and the changes give the whole game again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"

constexpr int replay_format_version = 1;

// An action went down or up before tick `tick` (counting from 1) was simulated.
struct InputChange {
    int32_t tick;
    uint8_t player; // 0 or 1
    uint8_t action; // an Action
    bool down;
};

struct Replay {
    int players = 1;
    uint32_t seed = 0;
    std::string date;          // when it was played, as UTC "YYYY-MM-DDTHH:MM:SSZ"
    uint8_t clock_phase = 0;   // the clock at the first tick, modulo the cursor's blink cycle
    bool separate_wells = false; // a network game: each well draws from its own generator
    std::vector<InputChange> changes; // in tick order
    int32_t end_tick = 0;      // ticks the game ran
    int32_t scores[max_players] = {};
    bool topped_out[max_players] = {};
};

// The blink cycle of the cursor: 32 ticks.
constexpr uint32_t clock_phase_cycle = 32;

// Appends the changes between what was held and what is held now, for tick `tick`.
void record_inputs(Replay& replay, int32_t tick, const TickInputs& was, const TickInputs& now);
// Sets the end: the final tick, scores and top-outs of `game`.
void record_end(Replay& replay, const GameState& game);

// Plays back: the inputs of tick `tick`, given those of the tick before and `next`, the first
// change not yet applied (advanced past the changes of this tick).
void replay_inputs(const Replay& replay, int32_t tick, size_t& next, TickInputs& inputs);

// The whole game again from the seed and the changes; the final state after end_tick ticks.
GameState resimulate(const Replay& replay);
// The game a replay starts from: its players, its seed, and a generator per well if it had them.
void start_replay_game(GameState& game, const Replay& replay);
// Empty when re-simulation ends on the recorded tick with the recorded scores and top-outs;
// else the first difference, in words.
std::string verify_replay(const Replay& replay);
