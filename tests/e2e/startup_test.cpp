// Start-up of the real program: refusing to run without a display or a sound datafile, and the window.
#include <gtest/gtest.h>
#include <string>

#include "harness/fixture.h"

namespace {

constexpr double refuse_timeout_s = 30;

bool mentions(const std::string& text, const std::string& word)
{
    return text.find(word) != std::string::npos;
}

// A refusal is an ordinary exit with a failure status, never a crash.
void expect_refusal_naming(GameProcess& game, const std::string& word)
{
    ASSERT_TRUE(wait_for_exit(game, refuse_timeout_s)) << "still running after " << refuse_timeout_s << " s";
    const int code = exit_code(game);
    EXPECT_GT(code, 0) << describe_status(game);
    const std::string err = stderr_text(game);
    EXPECT_TRUE(mentions(err, word)) << "stderr does not name " << word << ": " << err;
}

TEST(StartUpWithoutDisplay, ExitsWithAMessageAboutTheDisplay)
{
    LaunchOptions options;
    options.with_display = false;
    options.datafile = generated_datafile_present() ? DatafileSetup::copy : DatafileSetup::missing;
    GameProcess game = launch_game(options);
    ASSERT_GT(game.pid, 0);
    expect_refusal_naming(game, "display");
    stop_game(game);
    remove_run_files(game);
}

struct StartUpDatafile : EndToEnd {
    bool needs_datafile() const override { return false; }
};

TEST_F(StartUpDatafile, RefusesToRunWithoutIt)
{
    ASSERT_GT(launch(with_datafile(DatafileSetup::missing)).pid, 0);
    expect_refusal_naming(game, "blocks.dat");
}

TEST_F(StartUpDatafile, RefusesAFileOfRandomBytes)
{
    ASSERT_GT(launch(with_datafile(DatafileSetup::garbage)).pid, 0);
    expect_refusal_naming(game, "blocks.dat");
}

TEST_F(StartUpDatafile, RefusesATruncatedCopy)
{
    if (!generated_datafile_present())
        GTEST_SKIP() << "the generated datafile is missing: " << generated_datafile();
    ASSERT_GT(launch(with_datafile(DatafileSetup::truncated)).pid, 0);
    expect_refusal_naming(game, "blocks.dat");
}

TEST_F(EndToEnd, OpensAWindowCoveringTheScreen)
{
    x->watch_windows();
    ASSERT_GT(launch().pid, 0);
    bool seen = false;
    for (int i = 0; i < 300 && !seen; i++) {
        seen = x->saw_window(640, 480);
        if (!seen && !still_running(game))
            seen = x->saw_window(640, 480); // a run that ended at once still mapped its window
        if (!seen && game.exited)
            break;
        if (!seen)
            wait_for_exit(game, 0.1);
    }
    EXPECT_TRUE(seen) << "no 640x480 window was mapped; the program " << describe_status(game)
                      << "; stderr: " << stderr_text(game);
    if (game.exited) {
        EXPECT_EQ(exit_code(game), 0) << stderr_text(game);
    }
}

} // namespace
