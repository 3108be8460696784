// Start-up of the real program: it refuses to run without a display or a usable datafile.
#include "harness/e2e.h"

namespace {

TEST_F(EndToEnd, RefusesToStartWithoutADisplayOrAUsableDatafile)
{
    struct Row {
        const char* what;
        bool with_display;
        DatafileSetup datafile;
        const char* named_in_stderr;
    };
    const Row rows[] = {
        {"no display", false, DatafileSetup::copy, "display"},
        {"no blocks.dat", true, DatafileSetup::missing, "blocks.dat"},
        {"a blocks.dat of random bytes", true, DatafileSetup::garbage, "blocks.dat"},
        {"a truncated blocks.dat", true, DatafileSetup::truncated, "blocks.dat"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LaunchOptions options;
        options.with_display = row.with_display;
        options.datafile = row.datafile;
        ASSERT_GT(launch(options).pid, 0);
        // A refusal is an ordinary exit with a failure status, never a crash.
        ASSERT_TRUE(wait_for_exit(game, 30)) << "still running after 30 s";
        EXPECT_GT(exit_code(game), 0) << describe(game);
        EXPECT_NE(stderr_text(game).find(row.named_in_stderr), std::string::npos) << describe(game);
    }
}

} // namespace
