// Whole sessions measured from outside: memory that grows with the number of games played,
// and (in the sanitizer build) leaks or bad accesses anywhere in a session.
#include "harness/e2e.h"

namespace {

struct Resources : EndToEnd {
    // Peak resident size of a session of one-player games, or -1 when it failed.
    long session_peak_kb(int games)
    {
        if (launch().pid <= 0)
            return -1;
        const Step played = play_session(std::vector<PlannedGame>(size_t(games), {1, {""}}));
        EXPECT_TRUE(played) << games << " games";
        return played ? game.usage.ru_maxrss : -1;
    }
};

TEST_F(Resources, PeakMemoryDoesNotGrowWithTheNumberOfGames)
{
    const long two = session_peak_kb(2);
    const long four = session_peak_kb(4);
    std::printf("peak resident size: 2 games %ld KB, 4 games %ld KB\n", two, four);
    ASSERT_GT(two, 0);
    ASSERT_GT(four, 0);
    // Three screen-sized images a game leaks would add about 1.8 MB; a few hundred KB of
    // allocator and X client slack come and go between otherwise equal runs.
    EXPECT_LE(four - two, 1024) << "four games took " << four - two << " KB more than two";
}

TEST_F(Resources, AWholeSessionLeaksNothingAndTouchesNoFreedMemory)
{
    if (!BLOCKRISE_SANITIZED)
        GTEST_SKIP() << "needs the program built with BLOCKRISE_SANITIZE=ON (build-asan)";
    LaunchOptions options;
    options.with_sound = true; // the sound drivers and the synthesiser run too
    // A distinct exit status tells a sanitizer's verdict from the program's own failures;
    // the report itself lands in the captured stderr, which a failed step quotes.
    options.extra_env = {
        "ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86:fast_unwind_on_malloc=0",
        "LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0",
        "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1",
    };
    ASSERT_GT(launch(options).pid, 0);
    EXPECT_TRUE(play_session({{1, {"Ada"}}, {2, {"", ""}}}));
}

} // namespace
