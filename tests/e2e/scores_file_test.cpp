// The real program with odd "scores" files already in its working directory.
#include <gtest/gtest.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/fixture.h"

namespace {

std::string table_file(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string text;
    for (const auto& [name, score] : entries)
        text += name + "\n" + score + "\n";
    return text;
}

LaunchOptions with_scores(const std::string& content)
{
    LaunchOptions options;
    options.with_scores = true;
    options.scores_content = content;
    return options;
}

// A hand-edited file: bytes that are no text in any encoding, a six-byte sequence, "%" signs,
// numbers that are not plain. The program shows and saves every entry exactly as read.
const std::vector<std::pair<std::string, std::string>> odd_entries = {
    {"Z\xfd\x99\x99\x99\x99\x99\x99", "900"}, {"Caf\xe9", "800"},   {"100%s%n", "700"},
    {"\xbf\x33\x32\xbf", "600"},                {"Ann", "007"},          {"Bea", "abc"},
    {"Cid", "-5"},                               {"Dee", "0"},            {"Eve", "0"},
    {"Fay", "0"},
};

TEST_F(EndToEnd, AScoresFileOfStrayBytesIsShownAndWrittenBackUnchanged)
{
    const std::string content = table_file(odd_entries);
    ASSERT_GT(launch(with_scores(content)).pid, 0);
    ASSERT_TRUE(leave_starfield(driver()));
    ASSERT_TRUE(start_game_from_menu(driver(), 1));
    hold_escape(driver());
    // Left alone the game scores 0, which ranks above the first entry counting 0 or less.
    ASSERT_TRUE(enter_name(driver(), "Gus"));
    ASSERT_TRUE(leave_table(driver()));
    ASSERT_TRUE(quit_from_menu(driver()));
    EXPECT_EQ(exit_code(game), 0) << describe_status(game) << "; stderr: " << stderr_text(game);

    std::vector<std::pair<std::string, std::string>> expected = odd_entries;
    const std::string written = read_text_file(game.work_dir + "/scores");
    ASSERT_NE(written.find("Gus\n"), std::string::npos) << "the new entry is missing";
    size_t rank = 0;
    while (rank < expected.size() && std::atoi(expected[rank].second.c_str()) > 0)
        rank++;
    expected.insert(expected.begin() + long(rank), {"Gus", "0"});
    expected.pop_back();
    EXPECT_EQ(written, table_file(expected));
}

TEST_F(EndToEnd, QuittingAtOnceKeepsAScoresFileOfStrayBytes)
{
    const std::string content = table_file(odd_entries);
    ASSERT_GT(launch(with_scores(content)).pid, 0);
    ASSERT_TRUE(leave_starfield(driver()));
    ASSERT_TRUE(quit_from_menu(driver())) << "the program did not finish with this scores file";
    EXPECT_EQ(exit_code(game), 0) << describe_status(game);
    EXPECT_EQ(read_text_file(game.work_dir + "/scores"), content);
}

} // namespace
