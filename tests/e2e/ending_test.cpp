// Ending by hand: the window's close button and SIGTERM end the program as the player would,
// from any screen, and what was entered is on disk.
#include <csignal>

#include "harness/e2e.h"

namespace {

TEST_F(EndToEnd, TheCloseButtonInTheMenuAfterAGameExitsCleanlyWithTheEntrySaved)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(start_game(1));
    hold_escape();
    ASSERT_TRUE(enter_name("Cleo"));
    ASSERT_TRUE(leave_table());
    ASSERT_TRUE(x->close_windows()) << "no window takes WM_DELETE_WINDOW";
    ASSERT_TRUE(wait_for_exit(game, 5)) << "still running 5 s after the close button";
    EXPECT_EQ(exit_code(game), 0) << describe(game);
    const std::vector<ScoreEntry> entries = read_scores(game);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].name, "Cleo");
}

TEST_F(EndToEnd, SigtermDuringASecondGameKeepsTheFirstGamesEntryAndExitsCleanly)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(start_game(1));
    hold_escape();
    ASSERT_TRUE(enter_name("Dora"));
    ASSERT_TRUE(leave_table());
    ASSERT_TRUE(start_game(2));
    ASSERT_TRUE(wait_screen(game_shown, "the second game"));
    kill(game.pid, SIGTERM);
    ASSERT_TRUE(wait_for_exit(game, 5)) << "still running 5 s after SIGTERM";
    EXPECT_EQ(exit_code(game), 0) << describe(game);
    const std::vector<ScoreEntry> entries = read_scores(game);
    int dora = 0, labels = 0;
    for (const ScoreEntry& entry : entries) {
        dora += entry.name == "Dora";
        labels += entry.name == "Player 1" || entry.name == "Player 2";
    }
    EXPECT_EQ(dora, 1) << "the first game's entry is lost";
    EXPECT_EQ(labels, 2) << "the ended game's two scores keep their offered names";
}

} // namespace
