// Key mashing: a seeded random stream of both players' keys into a two-player game, then a clean end.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <random>
#include <thread>

#include "harness/e2e.h"

namespace {

// Both players' keys; raising the stack is rare so that a game usually lasts the whole minute.
const std::vector<std::string> moving_keys = {"w", "s", "a", "d", "Shift_L",
                                              "Up", "Down", "Left", "Right", "Shift_R"};
const std::vector<std::string> rare_keys = {"Control_L", "Control_R", "v", "b"};

// Presses one to three keys at once for a few ticks.
void mash_once(XScreen& x, std::mt19937& random)
{
    std::uniform_int_distribution<int> how_many(1, 3), hold_ms(10, 120), gap_ms(0, 60), rare(0, 39);
    std::vector<std::string> keys;
    for (int i = how_many(random); i > 0; i--) {
        const std::vector<std::string>& pool = rare(random) == 0 ? rare_keys : moving_keys;
        keys.push_back(pool[std::uniform_int_distribution<size_t>(0, pool.size() - 1)(random)]);
    }
    for (const std::string& key : keys)
        x.press(key);
    std::this_thread::sleep_for(std::chrono::milliseconds(hold_ms(random)));
    std::shuffle(keys.begin(), keys.end(), random);
    for (const std::string& key : keys)
        x.release(key);
    std::this_thread::sleep_for(std::chrono::milliseconds(gap_ms(random)));
}

TEST_F(EndToEnd, MashingKeysInATwoPlayerGameEndsCleanly)
{
    const char* chosen = std::getenv("BLOCKRISE_MASH_SEED");
    const unsigned seed = chosen ? unsigned(std::strtoul(chosen, nullptr, 10)) : 20261206;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(start_game(2));
    ASSERT_TRUE(wait_screen(game_shown, "the game screen"));

    // A little over a minute of game time, unless a top-out ends the game without Escape.
    const auto start = std::chrono::steady_clock::now();
    auto last_look = start;
    bool topped_out = false;
    while (!topped_out && std::chrono::steady_clock::now() - start < std::chrono::seconds(62)) {
        mash_once(*x, random);
        if (std::chrono::steady_clock::now() - last_look > std::chrono::seconds(1)) {
            last_look = std::chrono::steady_clock::now();
            ASSERT_TRUE(still_running(game)) << describe(game);
            const Frame now = x->grab();
            topped_out = name_entry_shown(now) || table_shown(now);
        }
    }
    x->release_all();
    if (!topped_out)
        hold_escape();

    // A fresh table takes every score, so each player is offered an entry; mashed letters
    // may have landed in the name already, so whatever is there is confirmed.
    ASSERT_TRUE(enter_name(""));
    if (name_entry_shown(x->grab())) {
        ASSERT_TRUE(enter_name(""));
    }
    ASSERT_TRUE(leave_table());
    ASSERT_TRUE(quit_from_menu());

    const std::vector<ScoreEntry> entries = read_scores(game);
    expect_ranked(entries);
    for (const ScoreEntry& entry : entries) {
        EXPECT_FALSE(entry.name.empty()) << "an entry has no name";
        EXPECT_LE(entry.name.size(), 18u) << entry.name; // the longest name that can be typed
        const std::string& score = entry.score;
        const size_t first_digit = !score.empty() && score[0] == '-' ? 1 : 0;
        EXPECT_TRUE(score.size() > first_digit &&
                    std::all_of(score.begin() + first_digit, score.end(),
                                [](unsigned char c) { return std::isdigit(c) != 0; }))
            << "score '" << entry.score << "'";
    }
}

} // namespace
