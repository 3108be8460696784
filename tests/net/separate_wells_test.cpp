// The network game's wells: each a function of the seed, its player and its own inputs, and
// recorded in a replay that says so while every older replay reads as it did.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "net/versus.h"
#include "net/well_hash.h"
#include "replay/replay_text.h"

namespace {

constexpr int32_t long_run = 3000;

PlayerInput random_input(std::mt19937& random)
{
    return PlayerInput{static_cast<uint8_t>(random() % (1u << action_count))};
}

bool same_player(const Player& a, const Player& b)
{
    return std::memcmp(&a, &b, sizeof(Player)) == 0;
}

TEST(SeparateWells, AWellNeverFeelsWhatTheOtherPlayerDoes)
{
    GameState calm, busy;
    start_separate_game(calm, max_players, 99);
    start_separate_game(busy, max_players, 99);
    std::mt19937 mine(1), theirs(2);
    for (int32_t t = 0; t < long_run && !game_is_over(calm) && !game_is_over(busy); t++) {
        const PlayerInput input = random_input(mine);
        const TickInputs a{input, PlayerInput{0}}, b{input, random_input(theirs)};
        update_game(calm, a);
        update_game(busy, b);
        ASSERT_TRUE(same_player(calm.players[0], busy.players[0])) << "tick " << t;
        ASSERT_EQ(well_hash(calm, 0), well_hash(busy, 0));
    }
    EXPECT_FALSE(same_player(calm.players[1], busy.players[1])) << "the other wells should have gone apart";
}

// One well run ahead of the other, as a network game does, ends where the lock-step game ends.
TEST(SeparateWells, OneWellAtATimeMatchesTheWholeTick)
{
    GameState together, apart;
    start_separate_game(together, max_players, 7);
    start_separate_game(apart, max_players, 7);
    std::mt19937 random(3);
    std::vector<PlayerInput> second;
    for (int32_t t = 0; t < long_run; t++) {
        const TickInputs inputs{random_input(random), random_input(random)};
        update_game(together, inputs);
        TickEvents events{};
        update_well(apart, 0, inputs[0], events);
        second.push_back(inputs[1]);
    }
    for (const PlayerInput input : second) {
        TickEvents events{};
        update_well(apart, 1, input, events);
    }
    for (int p = 0; p < max_players; p++)
        EXPECT_TRUE(same_player(together.players[p], apart.players[p])) << "player " << p;
}

TEST(SeparateWells, AreTheirOwnGameNotTheSharedOne)
{
    GameState shared, separate;
    start_game(shared, max_players, 5);
    start_separate_game(separate, max_players, 5);
    EXPECT_EQ(shared.separate_wells, 0);
    EXPECT_FALSE(same_player(shared.players[0], separate.players[0]));
    EXPECT_NE(well_seed(5, 0), well_seed(5, 1));
    EXPECT_NE(well_hash(separate, 0), well_hash(separate, 1));
}

// A well that tops out early decides the end; a later top-out of the other changes nothing.
TEST(SeparateWells, TheEarliestTopOutIsTheEnd)
{
    Versus versus;
    start_versus(versus, 11, 0);
    TickEvents events{};
    int32_t ticks = 0;
    while (play_local(versus, PlayerInput{action_bit(ACTION_RAISE)}, events))
        ticks++;
    const int32_t local_top = versus.tracks[0].topped_at;
    ASSERT_GT(local_top, 0);
    EXPECT_EQ(ticks, local_top) << "the local well stops on its top-out";
    EXPECT_EQ(versus_end(versus), local_top);
    EXPECT_FALSE(versus_settled(versus)) << "the other well has not reached the end yet";
    const std::vector<uint8_t> idle(static_cast<size_t>(game_ticks), 0);
    ASSERT_TRUE(add_remote(versus, idle.data(), local_top - 1, events));
    EXPECT_FALSE(versus_settled(versus));
    ASSERT_TRUE(add_remote(versus, idle.data(), 1, events));
    EXPECT_TRUE(versus_settled(versus));
    EXPECT_EQ(versus.tracks[1].topped_at, 0);
    EXPECT_FALSE(add_remote(versus, idle.data(), game_ticks, events)) << "past the last tick";
}

// The late end: the local well played on past the other's top-out, but its score is judged
// as it stood on that tick.
TEST(SeparateWells, ALateEndJudgesTheLocalWellAsItStoodThen)
{
    Versus versus;
    start_versus(versus, 21, 1);
    TickEvents events{};
    std::mt19937 random(4);
    std::vector<uint8_t> mine;
    for (int32_t t = 0; t < 400; t++) {
        const PlayerInput input{static_cast<uint8_t>(random() % action_bit(ACTION_RAISE))}; // never raise
        mine.push_back(input.held);
        ASSERT_TRUE(play_local(versus, input, events));
    }
    std::vector<uint8_t> raising(static_cast<size_t>(game_ticks), action_bit(ACTION_RAISE));
    ASSERT_TRUE(add_remote(versus, raising.data(), 400, events));
    const int32_t end = versus.tracks[0].topped_at;
    ASSERT_GT(end, 0);
    ASSERT_LT(end, 400) << "the other well topped out while this one played on";
    EXPECT_TRUE(local_play_over(versus));
    ASSERT_TRUE(versus_settled(versus));
    Replay replay;
    const GameState judged = settle_versus(versus, versus_end(versus), replay);
    GameState alone;
    start_separate_game(alone, max_players, 21);
    for (int32_t t = 0; t < end; t++) {
        TickEvents ignored{};
        update_well(alone, 1, PlayerInput{mine[t]}, ignored);
    }
    EXPECT_TRUE(same_player(judged.players[1], alone.players[1]));
    EXPECT_EQ(replay.end_tick, end);
    EXPECT_EQ(replay.scores[0], 0) << "a topped-out well scores nothing";
    EXPECT_EQ(verify_replay(replay), "");
}

TEST(SeparateWellsReplay, TheModeLineRoundTripsAndOlderFilesReadAsBefore)
{
    Replay replay;
    replay.players = 2;
    replay.seed = 77;
    replay.date = "2026-12-07T10:00:00Z";
    replay.separate_wells = true;
    replay.changes = {{3, 1, ACTION_SWAP, true}};
    replay.end_tick = 10;
    const std::string text = replay_text(replay);
    EXPECT_NE(text.find("\nwells separate\n"), std::string::npos);
    Replay back;
    std::string problem;
    ASSERT_TRUE(parse_replay(text, back, problem)) << problem;
    EXPECT_TRUE(back.separate_wells);
    EXPECT_EQ(replay_text(back), text);

    replay.separate_wells = false;
    const std::string shared = replay_text(replay);
    EXPECT_EQ(shared.find("wells"), std::string::npos) << "a shared game writes no mode line";
    ASSERT_TRUE(parse_replay(shared, back, problem)) << problem;
    EXPECT_FALSE(back.separate_wells);

    // Anywhere but straight after the header, the line is a fault.
    std::string misplaced = text;
    misplaced.erase(misplaced.find("wells separate\n"), 15);
    misplaced.insert(misplaced.find("end "), "wells separate\n");
    EXPECT_FALSE(parse_replay(misplaced, back, problem));
}

TEST(SeparateWellsReplay, ResimulationFollowsTheRecordedMode)
{
    Replay replay;
    replay.players = 2;
    replay.seed = 12345;
    replay.end_tick = 600;
    replay.separate_wells = true;
    const GameState separate = resimulate(replay);
    replay.separate_wells = false;
    const GameState shared = resimulate(replay);
    GameState fresh;
    start_separate_game(fresh, 2, 12345);
    EXPECT_EQ(separate.separate_wells, 1);
    EXPECT_EQ(shared.separate_wells, 0);
    EXPECT_FALSE(same_player(separate.players[0], shared.players[0]));
    EXPECT_EQ(std::memcmp(separate.players[0].grid[6], fresh.players[0].grid[6], sizeof fresh.players[0].grid[6]), 0)
        << "the rows below the starting stack keep their colours";
}

} // namespace
