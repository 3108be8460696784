// The cost of the simulation: one tick of busy two-player play, a crowded moment, and a whole
// two-minute game from a recorded input stream.
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

#include "game/game.h"

namespace {

constexpr uint32_t bench_seed = 1;
constexpr int crowd_search_ticks = 1000000;

struct TickInputsArray {
    TickInputs inputs;
};

// Seeded inputs per tick: the cursors keep moving and swapping, so something is nearly
// always pending, and raise is held now and then to bring new rows in.
std::vector<TickInputsArray> record_play(int ticks, double raise_chance)
{
    std::mt19937 random(99);
    std::bernoulli_distribution move(0.2), swap(0.45), raise(raise_chance);
    std::vector<TickInputsArray> stream(static_cast<size_t>(ticks));
    uint8_t held[max_players] = {};
    for (TickInputsArray& tick : stream)
        for (int p = 0; p < max_players; p++) {
            for (int a = 0; a < action_count; a++) {
                const bool toggle = a == ACTION_RAISE ? raise(random) : a == ACTION_SWAP ? swap(random) : move(random);
                if (toggle)
                    held[p] = static_cast<uint8_t>(held[p] ^ (1u << a));
            }
            tick.inputs[p].held = held[p];
        }
    return stream;
}

void BM_update_game_two_busy_wells(benchmark::State& state)
{
    const std::vector<TickInputsArray> stream = record_play(game_ticks, 0.01);
    GameState game;
    start_game(game, 2, bench_seed);
    size_t tick = 0;
    int64_t pending = 0, ticks = 0;
    for (auto _ : state) {
        if (game_is_over(game) || tick == stream.size()) {
            state.PauseTiming();
            start_game(game, 2, bench_seed);
            tick = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(update_game(game, stream[tick++].inputs));
        pending += game.players[0].groups != no_link;
        ticks++;
    }
    state.counters["pending_share"] = static_cast<double>(pending) / static_cast<double>(ticks);
}
BENCHMARK(BM_update_game_two_busy_wells);

int count_state(const Player& p, int state)
{
    int n = 0;
    for (const auto& row : p.grid)
        for (const Cell& cell : row)
            n += cell.state == state;
    return n;
}

bool crowded(const Player& p)
{
    return count_state(p, CELL_SWAPPING) >= 2 && count_state(p, CELL_CLEARING) >= 3 &&
           count_state(p, CELL_FALLING) + count_state(p, CELL_HOVERING) >= 2;
}

// The same moment again and again: both players with a swap sliding, a clear running and
// blocks in the air, nothing held. The state is a value, so the moment is a copy.
void BM_update_game_crowded_moment(benchmark::State& state)
{
    const std::vector<TickInputsArray> stream = record_play(crowd_search_ticks, 0.01);
    GameState game;
    start_game(game, 2, bench_seed);
    size_t t = 0;
    for (; !(crowded(game.players[0]) && crowded(game.players[1])); t++) {
        if (t == stream.size()) {
            state.SkipWithError("no crowded moment in the recorded play");
            return;
        }
        if (game_is_over(game))
            start_game(game, 2, bench_seed + static_cast<uint32_t>(t));
        update_game(game, stream[t].inputs);
    }
    state.counters["found_at_tick"] = static_cast<double>(t);
    const GameState moment = game;
    const TickInputs nothing{};
    for (auto _ : state) {
        game = moment;
        benchmark::DoNotOptimize(update_game(game, nothing));
    }
}
BENCHMARK(BM_update_game_crowded_moment);

// A whole game: 7200 ticks of two busy players, from start_game to the last tick.
void BM_whole_two_player_game(benchmark::State& state)
{
    const std::vector<TickInputsArray> stream = record_play(game_ticks, 0.0);
    int32_t topped_out = 0;
    for (auto _ : state) {
        GameState game;
        start_game(game, 2, bench_seed);
        for (const TickInputsArray& tick : stream)
            update_game(game, tick.inputs);
        benchmark::DoNotOptimize(game);
        topped_out = game.players[0].topped_out + game.players[1].topped_out;
    }
    state.counters["topped_out"] = topped_out;
}
BENCHMARK(BM_whole_two_player_game)->Unit(benchmark::kMillisecond);

} // namespace
