// The real program with a hand-edited "scores" file already in its working directory.
#include "harness/e2e.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

std::string table_file(const Entries& entries)
{
    std::string text;
    for (const auto& [name, score] : entries)
        text += name + "\n" + score + "\n";
    return text;
}

// Bytes that are no text in any encoding, a six-byte sequence, "%" signs, numbers that are not
// plain: the program shows and saves every entry exactly as read.
const Entries odd_entries = {
    {"Z\xfd\x99\x99\x99\x99\x99\x99", "900"}, {"Caf\xe9", "800"}, {"100%s%n", "700"},
    {"\xbf\x33\x32\xbf", "600"}, {"Ann", "007"}, {"Bea", "abc"}, {"Cid", "-5"},
    {"Dee", "0"}, {"Eve", "0"}, {"Fay", "0"},
};

TEST_F(EndToEnd, AScoresFileOfStrayBytesIsWrittenBackAsReadAroundANewEntry)
{
    LaunchOptions options;
    options.scores = table_file(odd_entries);
    // Quitting at once leaves the file byte for byte.
    ASSERT_GT(launch(options).pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(quit_from_menu()) << "the program did not finish with this scores file";
    EXPECT_EQ(read_text_file(game.work_dir + "/scores"), *options.scores);

    ASSERT_GT(launch(options).pid, 0);
    ASSERT_TRUE(leave_starfield());
    ASSERT_TRUE(start_game(1));
    hold_escape();
    ASSERT_TRUE(enter_name("Gus"));
    ASSERT_TRUE(leave_table());
    ASSERT_TRUE(quit_from_menu());
    // Left alone the game scores 0, which ranks above "abc", the first entry counting 0 or less.
    Entries expected = odd_entries;
    expected.insert(expected.begin() + 5, {"Gus", "0"});
    expected.pop_back();
    EXPECT_EQ(read_text_file(game.work_dir + "/scores"), table_file(expected));
}

} // namespace
