// Whole sessions of the real program at the keyboard: menu, games, name entries, table, farewell.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/fixture.h"
#include "harness/screens.h"

namespace {

struct Entry {
    std::string name;
    std::string score;
};

// The scores file as ten entries; a malformed file fails the calling test.
std::vector<Entry> read_scores_file(const GameProcess& game)
{
    const std::vector<std::string> lines = read_lines(game.work_dir + "/scores");
    EXPECT_EQ(lines.size(), 20u) << "the scores file should hold twenty lines";
    std::vector<Entry> entries;
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        entries.push_back({lines[i], lines[i + 1]});
    return entries;
}

int position_of(const std::vector<Entry>& entries, const std::string& name)
{
    for (size_t i = 0; i < entries.size(); i++)
        if (entries[i].name == name)
            return int(i);
    return -1;
}

// Entries in descending order of score, as only the ranking rule puts them there.
void expect_ranked(const std::vector<Entry>& entries)
{
    for (size_t i = 1; i < entries.size(); i++)
        EXPECT_GE(std::atoi(entries[i - 1].score.c_str()), std::atoi(entries[i].score.c_str()))
            << "entry " << i - 1 << " (" << entries[i - 1].name << ") and entry " << i << " ("
            << entries[i].name << ") are out of order";
}

// For names entered later with an equal score, the later one ranks above.
void expect_newer_above_on_ties(const std::vector<Entry>& entries,
                                const std::vector<std::string>& names_in_entry_order)
{
    for (size_t a = 0; a < names_in_entry_order.size(); a++)
        for (size_t b = a + 1; b < names_in_entry_order.size(); b++) {
            const int older = position_of(entries, names_in_entry_order[a]);
            const int newer = position_of(entries, names_in_entry_order[b]);
            if (older < 0 || newer < 0 || entries[older].score != entries[newer].score)
                continue;
            EXPECT_LT(newer, older) << names_in_entry_order[b] << " tied with "
                                    << names_in_entry_order[a] << " and should rank above";
        }
}

constexpr int table_first_row_y = 95;
constexpr int table_row_pitch = 32;
constexpr int table_row_height = 24;

Rect table_row(int i) { return {0, table_first_row_y + table_row_pitch * i, 640, table_row_height}; }

// Which pixels of a table row are white text: the row's shape, whatever lies behind it.
std::vector<bool> white_text(const Frame& frame, int row)
{
    const Rect r = table_row(row);
    std::vector<bool> mask;
    for (int y = r.y; y < r.y + r.h; y++)
        for (int x = r.x; x < r.x + r.w; x++)
            mask.push_back(near_color(frame.at(x, y), color_white_seen));
    return mask;
}

TEST_F(EndToEnd, StartsAtTheMenuWithTheTwoPlayerLineHighlighted)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield(driver()));
    EXPECT_EQ(menu_selection(x->grab()), 2);
    x->tap("Down");
    EXPECT_TRUE(x->wait_for([](const Frame& f) { return menu_selection(f) == 3; }, screen_timeout_s))
        << "Down did not move the highlight to the exit line";
    x->tap("Down");
    EXPECT_TRUE(x->wait_for([](const Frame& f) { return menu_selection(f) == 1; }, screen_timeout_s))
        << "Down on the exit line did not wrap to the first line";
    ASSERT_TRUE(quit_from_menu(driver()));
    EXPECT_EQ(exit_code(game), 0) << describe_status(game) << "; stderr: " << stderr_text(game);
}

TEST_F(EndToEnd, QuittingAtOnceStillWritesTheDefaultTable)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield(driver()));
    ASSERT_TRUE(quit_from_menu(driver()));
    EXPECT_EQ(exit_code(game), 0) << describe_status(game) << "; stderr: " << stderr_text(game);
    const std::vector<Entry> entries = read_scores_file(game);
    for (const Entry& entry : entries) {
        EXPECT_FALSE(entry.name.empty());
        EXPECT_EQ(std::atoi(entry.score.c_str()), 0) << entry.name << " " << entry.score;
    }
}

TEST_F(EndToEnd, OneAndTwoPlayerGamesEndInTheTableAndTheNamesAreSaved)
{
    ASSERT_GT(launch().pid, 0);
    const std::vector<PlannedGame> games = {{1, {"Ada"}}, {2, {"Bob", "Cy"}}};
    ASSERT_TRUE(play_session(driver(), games));
    EXPECT_EQ(exit_code(game), 0) << describe_status(game) << "; stderr: " << stderr_text(game);

    const std::vector<Entry> entries = read_scores_file(game);
    for (const char* name : {"Ada", "Bob", "Cy"})
        EXPECT_GE(position_of(entries, name), 0) << name << " is missing from the scores file";
    expect_ranked(entries);
    expect_newer_above_on_ties(entries, {"Ada", "Bob", "Cy"});
}

TEST_F(EndToEnd, TheTableShowsTheNameJustEntered)
{
    ASSERT_GT(launch().pid, 0);
    ASSERT_TRUE(leave_starfield(driver()));
    ASSERT_TRUE(start_game_from_menu(driver(), 1));
    hold_escape(driver());
    ASSERT_TRUE(wait_screen(driver(), name_entry_shown, "the name entry", game_over_timeout_s));
    // Enter at once keeps the offered label, which the table then shows in its first row;
    // rows 1 and 2 still hold the same default entry and so the same white text.
    x->tap("Return");
    ASSERT_TRUE(wait_screen(driver(), table_shown, "the high-score table"));
    const Frame table = x->grab();
    EXPECT_GT(count_near(table, table_row(0), color_white_seen), 0) << "the first row is empty";
    EXPECT_NE(white_text(table, 0), white_text(table, 1)) << "the new entry is not in the first row";
    EXPECT_EQ(white_text(table, 1), white_text(table, 2)) << "equal entries are drawn differently";
    ASSERT_TRUE(leave_table(driver()));
    ASSERT_TRUE(quit_from_menu(driver()));
    const std::vector<Entry> entries = read_scores_file(game);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].name, "Player 1");
}

} // namespace
