// blockrise-replay: plays a game without display, sound or datafile, from a seed and a key
// script or from a recorded replay, and prints every player's state after every tick; or
// checks that a replay reaches the end it records.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/game.h"
#include "key_script.h"
#include "print_state.h"
#include "replay/replay.h"
#include "replay/replay_text.h"

namespace {

constexpr int exit_usage = 2;
constexpr int exit_refused = 1;

struct Options {
    uint32_t seed = 0;
    int players = 1;
    long ticks = 0;
    const char* keys = nullptr;
    const char* file = nullptr;
    bool verify = false;
};

[[noreturn]] void usage(const std::string& problem)
{
    std::fprintf(stderr,
                 "blockrise-replay: %s\n"
                 "usage: blockrise-replay --seed S --players N --ticks T [--keys FILE]\n"
                 "       blockrise-replay --file REPLAY [--verify]\n",
                 problem.c_str());
    std::exit(exit_usage);
}

long number_argument(const char* name, const char* text, long low, long high)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno || end == text || *end || value < low || value > high)
        usage(std::string(name) + " needs a number from " + std::to_string(low) + " to " + std::to_string(high));
    return value;
}

Options parse_options(int argc, char** argv)
{
    Options o;
    bool seed = false, count = false, ticks = false;
    for (int i = 1; i < argc; i++) {
        const char* name = argv[i];
        if (!std::strcmp(name, "--verify")) {
            o.verify = true;
            continue;
        }
        if (i + 1 >= argc)
            usage(std::string(name) + " needs a value");
        const char* value = argv[++i];
        if (!std::strcmp(name, "--seed"))
            o.seed = static_cast<uint32_t>(number_argument(name, value, 0, 4294967295L)), seed = true;
        else if (!std::strcmp(name, "--players"))
            o.players = static_cast<int>(number_argument(name, value, 1, max_players)), count = true;
        else if (!std::strcmp(name, "--ticks"))
            o.ticks = number_argument(name, value, 0, 100000000L), ticks = true;
        else if (!std::strcmp(name, "--keys"))
            o.keys = value;
        else if (!std::strcmp(name, "--file"))
            o.file = value;
        else if (std::strcmp(name, "--data") != 0) // older scripts name a datafile; none is needed
            usage(std::string("unknown option ") + name);
    }
    if (o.file ? (seed || count || ticks || o.keys) : (!seed || !count || !ticks || o.verify))
        usage("give --seed, --players and --ticks, or --file");
    return o;
}

std::vector<KeyEvent> read_keys(const char* path)
{
    std::vector<KeyEvent> events;
    if (!path)
        return events;
    std::ifstream file(path);
    if (!file)
        usage(std::string("cannot read ") + path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string error;
    if (!parse_key_script(text, events, error)) {
        std::fprintf(stderr, "blockrise-replay: %s: %s\n", path, error.c_str());
        std::exit(exit_usage);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.tick < b.tick; });
    return events;
}

// A key script as a replay: the same changes, for as many ticks as asked.
Replay replay_of_keys(const Options& options)
{
    Replay replay;
    replay.players = options.players;
    replay.seed = options.seed;
    TickInputs held{};
    for (const KeyEvent& e : read_keys(options.keys)) {
        const int player = player_of(e.set, options.players);
        if (player < 0 || e.tick > options.ticks)
            continue;
        TickInputs now;
        std::copy(std::begin(held), std::end(held), std::begin(now));
        const uint8_t bit = action_bit(e.action);
        now[player].held = static_cast<uint8_t>(e.down ? now[player].held | bit : now[player].held & ~bit);
        record_inputs(replay, e.tick, held, now);
        held[player] = now[player];
    }
    return replay;
}

// Every tick's state, until the last tick or a top-out.
void print_trace(const Replay& replay, long ticks)
{
    static GameState game;
    start_replay_game(game, replay);
    TickInputs inputs{};
    size_t next = 0;
    for (long tick = 1; tick <= ticks; tick++) {
        replay_inputs(replay, static_cast<int32_t>(tick), next, inputs);
        const TickEvents happened = update_game(game, inputs);
        for (int i = 0; i < game.player_count; i++)
            std::printf("%s\n", player_line(static_cast<int>(tick), i + 1, game.players[i]).c_str());
        std::printf("%ld popups %d\n", tick, game.popups.count);
        if (std::any_of(happened.list, happened.list + happened.count,
                        [](const GameEvent& e) { return e.kind == EventKind::top_out; }))
            break;
    }
}

Replay read_replay_or_exit(const char* path)
{
    Replay replay;
    std::string problem;
    if (!read_replay_file(path, replay, problem)) {
        std::fprintf(stderr, "blockrise-replay: %s\n", problem.c_str());
        std::exit(exit_refused);
    }
    return replay;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse_options(argc, argv);
    if (!options.file) {
        print_trace(replay_of_keys(options), options.ticks);
        return 0;
    }
    const Replay replay = read_replay_or_exit(options.file);
    if (!options.verify) {
        print_trace(replay, replay.end_tick);
        return 0;
    }
    const std::string mismatch = verify_replay(replay);
    if (!mismatch.empty()) {
        std::fprintf(stderr, "blockrise-replay: %s: does not verify: %s\n", options.file, mismatch.c_str());
        return exit_refused;
    }
    std::printf("verified:");
    for (int p = 0; p < replay.players; p++)
        std::printf(" %d", static_cast<int>(replay.scores[p]));
    std::printf("\n");
    return 0;
}
