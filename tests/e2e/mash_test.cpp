// Key mashing: a seeded random stream of both players' keys into a two-player game, then a clean end.
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "harness/fixture.h"
#include "harness/screens.h"

namespace {

constexpr double mash_seconds = 62; // a little over a minute of game time
constexpr unsigned default_seed = 20261206;
constexpr int max_name_entries = 2;
constexpr size_t longest_typed_name = 18;

// Both players' keys; raising the stack is rare so that a game usually lasts the whole minute.
const std::vector<std::string> moving_keys = {"w", "s", "a", "d", "Shift_L",
                                              "Up", "Down", "Left", "Right", "Shift_R"};
const std::vector<std::string> rare_keys = {"Control_L", "Control_R", "v", "b"};

unsigned mash_seed()
{
    const char* chosen = std::getenv("BLOCKRISE_MASH_SEED");
    return chosen ? unsigned(std::strtoul(chosen, nullptr, 10)) : default_seed;
}

// Presses a few keys at once for a few ticks; returns false when the game is over.
bool mash_once(XScreen& x, std::mt19937& random)
{
    std::uniform_int_distribution<int> how_many(1, 3), hold_ms(10, 120), gap_ms(0, 60),
        rare(0, 39);
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
    return true;
}

bool is_number_text(const std::string& s)
{
    if (s.empty())
        return false;
    size_t i = (s[0] == '-') ? 1 : 0;
    if (i == s.size())
        return false;
    for (; i < s.size(); i++)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

TEST_F(EndToEnd, MashingKeysInATwoPlayerGameEndsCleanly)
{
    const unsigned seed = mash_seed();
    std::mt19937 random(seed);
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield(driver()));
    ASSERT_TRUE(start_game_from_menu(driver(), 2));
    ASSERT_TRUE(wait_screen(driver(), game_shown, "the game screen"));

    const auto start = std::chrono::steady_clock::now();
    bool ended_by_itself = false;
    int presses = 0;
    auto last_look = start;
    while (std::chrono::steady_clock::now() - start < std::chrono::duration<double>(mash_seconds)) {
        mash_once(*x, random);
        presses++;
        if (std::chrono::steady_clock::now() - last_look > std::chrono::seconds(1)) {
            last_look = std::chrono::steady_clock::now();
            ASSERT_TRUE(still_running(game)) << "seed " << seed << ": " << describe_status(game)
                                             << "; stderr: " << stderr_text(game);
            const Frame now = x->grab();
            if (name_entry_shown(now) || table_shown(now)) {
                ended_by_itself = true; // a top-out: the game ends without Escape
                break;
            }
        }
    }
    x->release_all();
    const double mashed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seed %u: %d key chords over %.1f s%s\n", seed, presses, mashed,
                ended_by_itself ? ", the game ended by a top-out" : "");
    if (!ended_by_itself)
        hold_escape(driver());

    // A fresh table takes every score, so each player is offered an entry; mashed letters
    // may have landed in the name already, so whatever is there is confirmed.
    ASSERT_TRUE(enter_name(driver(), "")) << "seed " << seed;
    for (int i = 1; i < max_name_entries; i++) {
        const Frame now = x->grab();
        if (!name_entry_shown(now))
            break;
        ASSERT_TRUE(enter_name(driver(), "")) << "seed " << seed;
    }
    ASSERT_TRUE(leave_table(driver())) << "seed " << seed;
    ASSERT_TRUE(quit_from_menu(driver())) << "seed " << seed;
    EXPECT_EQ(exit_code(game), 0) << "seed " << seed << ": " << describe_status(game)
                                  << "; stderr: " << stderr_text(game);

    const std::vector<std::string> lines = read_lines(game.work_dir + "/scores");
    ASSERT_EQ(lines.size(), 20u) << "seed " << seed;
    for (size_t i = 0; i < lines.size(); i += 2) {
        EXPECT_FALSE(lines[i].empty()) << "seed " << seed << ": entry " << i / 2 << " has no name";
        EXPECT_LE(lines[i].size(), longest_typed_name) << "seed " << seed << ": " << lines[i];
        EXPECT_TRUE(is_number_text(lines[i + 1]))
            << "seed " << seed << ": entry " << i / 2 << " score '" << lines[i + 1] << "'";
        if (i >= 2) {
            EXPECT_GE(std::atoi(lines[i - 1].c_str()), std::atoi(lines[i + 1].c_str()))
                << "seed " << seed << ": entries out of order at " << i / 2;
        }
    }
}

} // namespace
