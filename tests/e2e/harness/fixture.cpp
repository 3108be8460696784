// Set-up and clean-up shared by the end-to-end tests.
#include "harness/fixture.h"

#include <filesystem>

#include "harness/frame.h"

namespace fs = std::filesystem;

void EndToEnd::SetUp()
{
    x = std::make_unique<XScreen>();
    if (!x->connected())
        GTEST_SKIP() << "no X server to play on: " << x->problem();
    if (needs_datafile() && !generated_datafile_present())
        GTEST_SKIP() << "the generated datafile is missing: " << generated_datafile();
    if (x->width() != 640 || x->height() != 480)
        GTEST_SKIP() << "the X screen is " << x->width() << "x" << x->height()
                     << "; these tests read the game's frame from a 640x480 root window";
}

void EndToEnd::TearDown()
{
    const bool failed = HasFailure();
    if (failed && x && x->connected()) {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(info->test_suite_name()) + "." + info->name();
        fs::create_directories(E2E_ARTIFACT_DIR);
        const std::string shot = std::string(E2E_ARTIFACT_DIR) + "/" + name + ".ppm";
        if (save_ppm(x->grab(), shot))
            std::printf("screenshot at failure: %s\n", shot.c_str());
        if (!game.stderr_path.empty()) {
            std::error_code error;
            fs::copy_file(game.stderr_path, std::string(E2E_ARTIFACT_DIR) + "/" + name + ".stderr",
                          fs::copy_options::overwrite_existing, error);
        }
    }
    if (x)
        x->release_all();
    stop_game(game);
    if (failed && !game.root.empty())
        std::printf("files of the failed run kept in %s\n", game.root.c_str());
    else
        remove_run_files(game);
}

GameProcess& EndToEnd::launch(const LaunchOptions& options)
{
    game = launch_game(options);
    return game;
}
