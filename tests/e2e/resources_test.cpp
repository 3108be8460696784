// Whole sessions measured from outside: memory that grows with the number of games played,
// and (in the sanitizer build) leaks or bad accesses anywhere in a session.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>

#include "harness/fixture.h"

namespace {

// Three screen-sized images a game leaks would add about 1.8 MB; a few hundred KB of
// allocator and X client slack come and go between otherwise equal runs.
constexpr long growth_allowance_kb = 1024;

std::vector<PlannedGame> one_player_games(int count)
{
    return std::vector<PlannedGame>(size_t(count), PlannedGame{1, {""}});
}

long session_peak_kb(XScreen& x, int games)
{
    GameProcess run = launch_game({});
    EXPECT_GT(run.pid, 0);
    const testing::AssertionResult played = play_session(Driver{x, run}, one_player_games(games));
    EXPECT_TRUE(played) << games << " games";
    EXPECT_EQ(exit_code(run), 0) << describe_status(run) << "; stderr: " << stderr_text(run);
    stop_game(run);
    const long peak = run.usage.ru_maxrss;
    remove_run_files(run);
    return played ? peak : -1;
}

struct Resources : EndToEnd {};

TEST_F(Resources, PeakMemoryDoesNotGrowWithTheNumberOfGames)
{
    const long one = session_peak_kb(*x, 1);
    const long two = session_peak_kb(*x, 2);
    const long four = session_peak_kb(*x, 4);
    std::printf("peak resident size: 1 game %ld KB, 2 games %ld KB, 4 games %ld KB\n", one, two,
                four);
    ASSERT_GT(two, 0);
    ASSERT_GT(four, 0);
    EXPECT_LE(four - two, growth_allowance_kb)
        << "four games took " << four - two << " KB more than two";
}

TEST_F(Resources, AWholeSessionLeaksNothingAndTouchesNoFreedMemory)
{
    if (!BLOCKRISE_SANITIZED)
        GTEST_SKIP() << "needs the program built with BLOCKRISE_SANITIZE=ON (build-asan)";
    LaunchOptions options;
    options.with_sound = true; // the sound drivers and the synthesiser run too
    // A distinct exit status tells a sanitizer's verdict from the program's own failures;
    // the report itself lands in the captured stderr.
    options.extra_env = {
        "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86:fast_unwind_on_malloc=0",
        "LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0",
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1",
    };
    ASSERT_GT(launch(options).pid, 0);
    const std::vector<PlannedGame> games = {{1, {"Ada"}}, {2, {"", ""}}};
    EXPECT_TRUE(play_session(driver(), games));
    ASSERT_TRUE(wait_for_exit(game, exit_timeout_s));
    EXPECT_EQ(exit_code(game), 0) << describe_status(game) << "; sanitizer output:\n"
                                  << stderr_text(game);
}

} // namespace
