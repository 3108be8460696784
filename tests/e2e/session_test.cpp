// Whole sessions of the real program at the keyboard: menu, games, name entries, table, farewell.
// Every session first waits for the 640x480 window (leave_starfield).
#include <algorithm>

#include "harness/e2e.h"

namespace {

int position_of(const std::vector<ScoreEntry>& entries, const std::string& name)
{
    for (size_t i = 0; i < entries.size(); i++)
        if (entries[i].name == name)
            return int(i);
    return -1;
}

TEST_F(EndToEnd, TheMenuStartsOnTwoPlayersAndWrapsAndQuittingAtOnceWritesTheDefaultTable)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield());
    EXPECT_EQ(menu_selection(x->grab()), 2);
    for (int expected : {3, 1}) { // Down to the exit line, then round to the first
        x->tap("Down");
        EXPECT_TRUE(wait_screen([&](const Frame& f) { return menu_selection(f) == expected; },
                                "the highlight moved by Down"))
            << "expected line " << expected;
    }
    ASSERT_TRUE(quit_from_menu());
    for (const ScoreEntry& entry : read_scores(game)) {
        EXPECT_FALSE(entry.name.empty());
        EXPECT_EQ(std::atoi(entry.score.c_str()), 0) << entry.name << " " << entry.score;
    }
}

TEST_F(EndToEnd, OneAndTwoPlayerGamesEndInTheTableAndTheNamesAreSavedInRank)
{
    ASSERT_GT(launch().pid, 0);
    const std::vector<std::string> names = {"Ada", "Bob", "Cy"}; // in the order entered
    ASSERT_TRUE(play_session({{1, {names[0]}}, {2, {names[1], names[2]}}}));

    const std::vector<ScoreEntry> entries = read_scores(game);
    expect_ranked(entries);
    for (size_t a = 0; a < names.size(); a++) {
        const int older = position_of(entries, names[a]);
        EXPECT_GE(older, 0) << names[a] << " is missing from the scores file";
        for (size_t b = a + 1; b < names.size(); b++) {
            const int newer = position_of(entries, names[b]);
            if (older >= 0 && newer >= 0 && entries[older].score == entries[newer].score) {
                EXPECT_LT(newer, older) << names[b] << " tied with the earlier " << names[a];
            }
        }
    }
}

// Row `i` of the table as a mask of its white text: the row's shape, whatever lies behind it.
std::vector<bool> white_text(const Frame& frame, int row)
{
    std::vector<bool> mask;
    for (int y = 95 + 32 * row; y < 95 + 32 * row + 24; y++)
        for (int x = 0; x < 640; x++)
            mask.push_back(near_color(frame.at(x, y), color_white_seen));
    return mask;
}

TEST_F(EndToEnd, TheTableShowsTheNameJustEnteredInItsFirstRow)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(start_game(1));
    hold_escape();
    ASSERT_TRUE(wait_screen(name_entry_shown, "the name entry", game_over_timeout_s));
    // Enter at once keeps the offered label, which the table then shows in its first row;
    // rows 1 and 2 still hold the same default entry and so the same white text.
    x->tap("Return");
    ASSERT_TRUE(wait_screen(table_shown, "the high-score table"));
    const Frame table = x->grab();
    const std::vector<bool> first = white_text(table, 0);
    EXPECT_NE(std::count(first.begin(), first.end(), true), 0) << "the first row is empty";
    EXPECT_NE(first, white_text(table, 1)) << "the new entry is not in the first row";
    EXPECT_EQ(white_text(table, 1), white_text(table, 2)) << "equal entries are drawn differently";
    ASSERT_TRUE(leave_table());
    ASSERT_TRUE(quit_from_menu());
    const std::vector<ScoreEntry> entries = read_scores(game);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].name, "Player 1");
}

} // namespace
