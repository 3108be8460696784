// A real game's replay: kept in replays/, verified by the headless tool, and played back by
// the program to the very frame the game ended on.
#include <chrono>
#include <cstdio>
#include <thread>

#include "harness/e2e.h"

namespace {

constexpr Rect left_well{64, 48, 192, 384};
constexpr Rect score_band{64, 14, 100, 24};
constexpr Rect clock_band{290, 130, 60, 25};

// The game-over overlay: the picture stops changing while the program waits three seconds.
bool steady_for(XScreen& x, const Frame& frame, int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return count_changed(frame, x.grab(), Rect{0, 0, 640, 480}) == 0;
}

std::string run_replay_tool(const std::string& path)
{
    std::string output;
    const std::string command = std::string(BLOCKRISE_REPLAY_TOOL) + " --file " + path + " --verify 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe))
            output += line;
        pclose(pipe);
    }
    return output;
}

TEST_F(EndToEnd, AGameIsRecordedVerifiesAndPlaysBackToItsLastFrame)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(start_game(1));
    for (const char* key : {"Down", "Shift_R", "Left", "Shift_R", "Down", "Right", "Shift_R"}) {
        x->tap(key, 80);
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
    }
    x->press("Control_R"); // raise: a score of one point a row
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    x->release("Control_R");
    hold_escape();
    Frame last;
    ASSERT_TRUE(wait_screen([&](const Frame& f) { return game_shown(f) && steady_for(*x, f, 500) && (last = f, true); },
                            "the game-over overlay"));
    ASSERT_TRUE(enter_name("Replayed"));
    ASSERT_TRUE(leave_table());
    ASSERT_TRUE(quit_from_menu());

    const std::string replay = read_text_file(game.work_dir + "/replays/last.replay");
    ASSERT_FALSE(replay.empty()) << "no replays/last.replay";
    const std::vector<ScoreEntry> entries = read_scores(game);
    ASSERT_EQ(entries[0].name, "Replayed");
    EXPECT_EQ(run_replay_tool(game.work_dir + "/replays/last.replay"), "verified: " + entries[0].score + "\n");
    EXPECT_NE(read_text_file(game.work_dir + "/replays/index").find("\t" + entries[0].score + "\tReplayed"),
              std::string::npos);

    LaunchOptions watch;
    watch.files = {{"game.replay", replay}};
    watch.args = {"--replay", "game.replay"};
    ASSERT_GT(launch(watch).pid, 0);
    Frame again;
    ASSERT_TRUE(wait_screen([&](const Frame& f) { return game_shown(f) && steady_for(*x, f, 500) && (again = f, true); },
                            "the played-back game's overlay", 60));
    for (const Rect& area : {left_well, score_band, clock_band})
        EXPECT_EQ(count_changed(last, again, area), 0) << "at " << area.x << "," << area.y;
    ASSERT_TRUE(wait_for_exit(game, 10));
    EXPECT_EQ(exit_code(game), 0) << describe(game);
}

} // namespace
