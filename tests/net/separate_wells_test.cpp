// The network game's wells: each a function of the seed, its player and its own inputs; where
// a game of two such wells ends; and the replay that says it is one, while every older replay
// reads as it did.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "net/versus.h"
#include "net/well_hash.h"
#include "replay/replay_text.h"

namespace {

constexpr int32_t long_run = 3000;
const std::vector<uint8_t> idle(static_cast<size_t>(game_ticks), 0);

bool same_player(const Player& a, const Player& b) { return std::memcmp(&a, &b, sizeof(Player)) == 0; }

PlayerInput any_input(std::mt19937& random, bool raising = true)
{
    return PlayerInput{static_cast<uint8_t>(random() % (raising ? 1u << action_count : action_bit(ACTION_RAISE)))};
}

TEST(SeparateWells, AWellIsItsOwnWhateverTheOtherPlayerDoesOrWhenItIsPlayed)
{
    GameState calm, busy, apart, shared;
    for (GameState* g : {&calm, &busy, &apart})
        start_separate_game(*g, max_players, 99);
    start_game(shared, max_players, 99);
    EXPECT_FALSE(same_player(calm.players[0], shared.players[0])) << "not the shared generator's wells";
    std::mt19937 mine(1), theirs(2);
    std::vector<PlayerInput> second;
    for (int32_t t = 0; t < long_run && !game_is_over(calm) && !game_is_over(busy); t++) {
        const PlayerInput input = any_input(mine), other = any_input(theirs);
        update_game(calm, TickInputs{input, PlayerInput{0}});
        update_game(busy, TickInputs{input, other});
        ASSERT_EQ(well_hash(calm, 0), well_hash(busy, 0)) << "tick " << t;
        TickEvents events{};
        update_well(apart, 0, input, events); // the second well is played later, all at once
        second.push_back(other);
    }
    EXPECT_FALSE(same_player(calm.players[1], busy.players[1]));
    for (const PlayerInput input : second) {
        TickEvents events{};
        update_well(apart, 1, input, events);
    }
    EXPECT_TRUE(same_player(apart.players[0], busy.players[0]));
    EXPECT_TRUE(same_player(apart.players[1], busy.players[1]));
}

// The first top-out ends the game for both wells; the other well must reach that tick too.
TEST(SeparateWells, TheEarliestTopOutIsTheEndOnceBothWellsReachIt)
{
    Versus versus;
    start_versus(versus, 11, 0);
    TickEvents events{};
    int32_t ticks = 0;
    while (play_local(versus, PlayerInput{action_bit(ACTION_RAISE)}, events))
        ticks++;
    const int32_t top = versus.tracks[0].topped_at;
    ASSERT_GT(top, 0);
    EXPECT_EQ(ticks, top) << "the local well stops on its top-out";
    EXPECT_EQ(versus_end(versus), top);
    ASSERT_TRUE(add_remote(versus, idle.data(), top - 1, events));
    EXPECT_FALSE(versus_settled(versus));
    ASSERT_TRUE(add_remote(versus, idle.data(), 1, events));
    EXPECT_TRUE(versus_settled(versus));
    EXPECT_FALSE(add_remote(versus, idle.data(), game_ticks, events)) << "past the last tick";
}

// The late end: this well played on past the other's top-out, and is judged as it stood then.
TEST(SeparateWells, ALateEndJudgesTheLocalWellAsItStoodThen)
{
    constexpr int32_t played = 400;
    Versus versus;
    start_versus(versus, 21, 1);
    TickEvents events{};
    std::mt19937 random(4);
    std::vector<PlayerInput> mine;
    for (int32_t t = 0; t < played; t++) {
        mine.push_back(any_input(random, false));
        ASSERT_TRUE(play_local(versus, mine.back(), events));
    }
    const std::vector<uint8_t> raising(static_cast<size_t>(game_ticks), action_bit(ACTION_RAISE));
    ASSERT_TRUE(add_remote(versus, raising.data(), played, events));
    const int32_t end = versus.tracks[0].topped_at;
    ASSERT_GT(end, 0);
    ASSERT_LT(end, played);
    EXPECT_TRUE(local_play_over(versus));
    ASSERT_TRUE(versus_settled(versus));
    Replay replay;
    const GameState judged = settle_versus(versus, versus_end(versus), replay);
    GameState alone;
    start_separate_game(alone, max_players, 21);
    for (int32_t t = 0; t < end; t++)
        update_well(alone, 1, mine[t], events);
    EXPECT_TRUE(same_player(judged.players[1], alone.players[1]));
    EXPECT_EQ(replay.end_tick, end);
    EXPECT_EQ(replay.scores[0], 0) << "a topped-out well scores nothing";
    EXPECT_EQ(verify_replay(replay), "");
}

TEST(SeparateWellsReplay, TheModeLineRoundTripsOnlyWhereItBelongs)
{
    Replay replay;
    replay.players = 2;
    replay.seed = 77;
    replay.changes = {{3, 1, ACTION_SWAP, true}};
    replay.end_tick = 600;
    for (const bool separate : {true, false}) {
        replay.separate_wells = separate;
        const std::string text = replay_text(replay);
        EXPECT_EQ(text.find("\nwells separate\n") != std::string::npos, separate) << "only network games say so";
        Replay back;
        std::string problem;
        ASSERT_TRUE(parse_replay(text, back, problem)) << problem;
        EXPECT_EQ(back.separate_wells, separate);
        EXPECT_EQ(resimulate(back).separate_wells, separate ? 1 : 0);
        EXPECT_EQ(verify_replay(back), "");
    }
    std::string misplaced = replay_text(replay);
    misplaced.insert(misplaced.find("end "), "wells separate\n");
    Replay back;
    std::string problem;
    EXPECT_FALSE(parse_replay(misplaced, back, problem)) << "anywhere but after the header, the line is a fault";
}

} // namespace
