// A game state is a plain value: copies are byte-equal and play on identically.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <random>
#include <type_traits>

#include "game/game.h"

namespace {

static_assert(std::is_trivially_copyable_v<GameState>, "a game state copies as bytes");

constexpr int ticks_before_copy = 3000;
constexpr int ticks_after_copy = 50000;

// Seeded random play for both players, one game after another; the same for every copy.
struct Play {
    std::mt19937 random;
    uint32_t seed;
    TickInputs inputs{};

    // Raise is held rarely, so that games last.
    void next_inputs()
    {
        std::bernoulli_distribution change(0.3), raise(0.02);
        for (PlayerInput& input : inputs)
            if (change(random))
                input.held = static_cast<uint8_t>((random() % action_bit(ACTION_RAISE)) | (raise(random) ? action_bit(ACTION_RAISE) : 0));
    }
};

bool same_bytes(const GameState& a, const GameState& b) { return std::memcmp(&a, &b, sizeof(GameState)) == 0; }

TEST(GameValue, ACopyMidGamePlaysOnExactlyAsTheOriginal)
{
    GameState game;
    Play play{std::mt19937(5), 77};
    start_game(game, max_players, play.seed);
    for (int t = 0; t < ticks_before_copy; t++) {
        play.next_inputs();
        update_game(game, play.inputs);
    }
    GameState copy = game;
    ASSERT_TRUE(same_bytes(copy, game));
    int games = 0;
    for (int t = 0; t < ticks_after_copy; t++) {
        play.next_inputs();
        const TickEvents events = update_game(game, play.inputs), copy_events = update_game(copy, play.inputs);
        ASSERT_TRUE(same_bytes(copy, game)) << "tick " << t;
        ASSERT_EQ(events.count, copy_events.count);
        ASSERT_EQ(std::memcmp(events.list, copy_events.list, sizeof(GameEvent) * events.count), 0) << "tick " << t;
        if (game_is_over(game)) {
            games++;
            start_game(game, max_players, ++play.seed);
            start_game(copy, max_players, play.seed);
        }
    }
    EXPECT_GT(games, 5) << "the copies went through new games too";
}

// Whatever the memory held before, a seed and the same inputs give the same bytes.
TEST(GameValue, StartingOverAnyBytesGivesTheSameState)
{
    alignas(GameState) unsigned char zeros[sizeof(GameState)], ones[sizeof(GameState)];
    std::memset(zeros, 0, sizeof zeros);
    std::memset(ones, 0xff, sizeof ones);
    GameState& a = *new (zeros) GameState;
    GameState& b = *new (ones) GameState;
    Play play{std::mt19937(8), 4242};
    start_game(a, max_players, play.seed);
    start_game(b, max_players, play.seed);
    for (int t = 0; t < ticks_after_copy; t++) {
        ASSERT_TRUE(same_bytes(a, b)) << "tick " << t;
        play.next_inputs();
        update_game(a, play.inputs);
        update_game(b, play.inputs);
        if (game_is_over(a)) {
            start_game(a, max_players, ++play.seed);
            start_game(b, max_players, play.seed);
        }
    }
}

} // namespace
