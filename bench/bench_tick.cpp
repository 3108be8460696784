// The cost of one game tick for two players in busy play: swaps, clears and falls going on.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "game/player.h"
#include "game/popups.h"
#include "game/update.h"

namespace {

constexpr int script_ticks = 4096;
constexpr int ticks_per_game = 7200;

const int bench_keys[] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_RSHIFT, KEY_RCONTROL,
                          KEY_W,  KEY_S,    KEY_A,    KEY_D,     KEY_LSHIFT, KEY_LCONTROL};
constexpr int bench_key_count = sizeof bench_keys / sizeof bench_keys[0];

// Seeded key states per tick: the cursor keeps moving and swapping, so something is
// always pending, and raise is held now and then to bring new rows in.
std::vector<uint16_t> make_key_script()
{
    std::mt19937 random(99);
    std::bernoulli_distribution move(0.2), swap(0.45), raise(0.01);
    std::vector<uint16_t> script(script_ticks);
    uint16_t held = 0;
    for (uint16_t& tick : script) {
        for (int k = 0; k < bench_key_count; k++) {
            const bool is_raise = k == 5 || k == 11, is_swap = k == 4 || k == 10;
            if (is_raise ? raise(random) : is_swap ? swap(random) : move(random))
                held ^= static_cast<uint16_t>(1u << k);
        }
        tick = held;
    }
    return script;
}

void new_game()
{
    if (players)
        end_game();
    clear_popups();
    start_game(2);
}

// One tick of the scripted play; true if the game had to start again.
bool play_tick(const std::vector<uint16_t>& script, size_t& tick, int& since_start)
{
    const uint16_t held = script[tick++ % script.size()];
    for (int k = 0; k < bench_key_count; k++)
        key[bench_keys[k]] = (held >> k) & 1;
    const bool topped_out = update_players();
    update_popups();
    if (topped_out || ++since_start == ticks_per_game) {
        since_start = 0;
        return true;
    }
    return false;
}

// Plays the script untimed to show how busy the benchmarked wells are.
void measure_busyness(benchmark::State& state, const std::vector<uint16_t>& script)
{
    std::srand(1);
    new_game();
    size_t tick = 0;
    int since_start = 0;
    int64_t pending = 0, airborne = 0, clearing = 0;
    for (int t = 0; t < script_ticks; t++) {
        if (play_tick(script, tick, since_start))
            new_game();
        for (int i = 0; i < 2; i++) {
            pending += players[i].groups != nullptr;
            for (const auto& row : players[i].grid)
                for (const Cell& cell : row) {
                    airborne += cell.state == CELL_FALLING || cell.state == CELL_HOVERING;
                    clearing += cell.state == CELL_CLEARING;
                }
        }
    }
    state.counters["pending_share"] = static_cast<double>(pending) / (2.0 * script_ticks);
    state.counters["airborne_cells"] = static_cast<double>(airborne) / script_ticks;
    state.counters["clearing_cells"] = static_cast<double>(clearing) / script_ticks;
}

void BM_update_players_two_busy_wells(benchmark::State& state)
{
    const std::vector<uint16_t> script = make_key_script();
    measure_busyness(state, script);
    std::srand(1);
    new_game();
    size_t tick = 0;
    int since_start = 0;
    for (auto _ : state) {
        if (play_tick(script, tick, since_start)) {
            state.PauseTiming();
            new_game();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(players[0].grid);
    }
    end_game();
    clear_popups();
}
BENCHMARK(BM_update_players_two_busy_wells);

// A frozen moment of play: both grids and copies of their pending groups.
struct Snapshot {
    struct Group {
        uint8_t kind;
        int8_t timer;
        std::vector<std::pair<int8_t, int8_t>> cells; // newest first
    };
    Player players[2];
    std::vector<Group> groups[2]; // newest first
};

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

Snapshot take_snapshot()
{
    Snapshot shot;
    for (int i = 0; i < 2; i++) {
        shot.players[i] = players[i];
        for (const ActionGroup* g = players[i].groups; g; g = g->next) {
            Snapshot::Group copy{g->kind, g->timer, {}};
            for (const GroupCell* c = g->cells; c; c = c->next)
                copy.cells.emplace_back(c->row, c->col);
            shot.groups[i].push_back(copy);
        }
    }
    return shot;
}

void restore(const Snapshot& shot)
{
    for (int i = 0; i < 2; i++) {
        free_groups(players[i].groups);
        players[i] = shot.players[i];
        players[i].groups = nullptr;
        for (auto g = shot.groups[i].rbegin(); g != shot.groups[i].rend(); ++g) {
            ActionGroup* group = push_group(players[i].groups, g->kind);
            group->timer = g->timer;
            for (auto c = g->cells.rbegin(); c != g->cells.rend(); ++c)
                push_group_cell(group, c->first, c->second);
        }
    }
}

// The same moment replayed again and again: both players with a swap sliding, a clear
// running and blocks in the air, no key held.
void BM_update_players_crowded_moment(benchmark::State& state)
{
    const std::vector<uint16_t> script = make_key_script();
    std::srand(1);
    new_game();
    size_t tick = 0;
    int since_start = 0;
    for (int t = 0; t < 1000000 && !(crowded(players[0]) && crowded(players[1])); t++)
        if (play_tick(script, tick, since_start))
            new_game();
    if (!crowded(players[0]) || !crowded(players[1])) {
        state.SkipWithError("no crowded moment found in the scripted play");
        return;
    }
    const Snapshot shot = take_snapshot();
    for (int k = 0; k < bench_key_count; k++)
        key[bench_keys[k]] = 0;
    for (auto _ : state) {
        state.PauseTiming();
        restore(shot);
        clear_popups();
        state.ResumeTiming();
        benchmark::DoNotOptimize(update_players());
    }
    state.counters["found_at_tick"] = static_cast<double>(tick);
    end_game();
    clear_popups();
}
BENCHMARK(BM_update_players_crowded_moment);

} // namespace
