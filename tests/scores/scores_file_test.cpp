// The scores file: creation, reading odd files, saving without ever losing the old table.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "scores/scores_file.h"
#include "scores/table.h"

namespace {

std::string file_text(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const char* name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

// lstat, so that a link counts as what it is.
mode_t file_type(const char* name)
{
    struct stat info;
    return lstat(name, &info) == 0 ? (info.st_mode & S_IFMT) : 0;
}

// Ten entries "n0".."n9" scoring 100, 90, ... 10, each line ending in `line_break`.
std::string sample_file(const char* line_break = "\n")
{
    std::string text;
    for (int i = 0; i < high_score_count; i++)
        text += "n" + std::to_string(i) + line_break + std::to_string(100 - 10 * i) + line_break;
    return text;
}

bool every_field_ends_inside_itself()
{
    for (int i = 0; i < high_score_count; i++)
        if (strnlen(high_score_table.name_texts[i], score_field_size) == score_field_size ||
            strnlen(high_score_table.score_texts[i], score_field_size) == score_field_size)
            return false;
    return true;
}

// Every test stands in a fresh temporary directory of its own.
class ScoresFile : public testing::Test {
protected:
    void SetUp() override
    {
        high_score_table = {};
        char pattern[] = "/tmp/blockrise-scores-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir = pattern;
        home = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
        high_score_table = {};
    }
    std::filesystem::path home, dir;
};

} // namespace

TEST_F(ScoresFile, MissingFileIsCreatedWithDefaultsAndReadBack)
{
    load_scores();
    std::string expected;
    for (int i = 0; i < high_score_count; i++) {
        expected += "Pelmorix\n0\n";
        EXPECT_STREQ(high_score_table.name_texts[i], "Pelmorix");
        EXPECT_STREQ(high_score_table.score_texts[i], "0");
    }
    EXPECT_EQ(file_text(scores_file_name), expected);
    EXPECT_EQ(file_type(scores_temp_name), 0u);
}

// Permissions do not stop root, so the directory is made unwritable for everyone:
// it is removed while the test stands in it, and nothing can be created in a
// deleted directory (ENOENT). A directory named "scores" is a second such case.
TEST_F(ScoresFile, FileThatCannotBeCreatedLeavesTheTableEmpty)
{
    ASSERT_EQ(mkdir(scores_file_name, 0755), 0);
    load_scores();
    EXPECT_EQ(file_type(scores_file_name), static_cast<mode_t>(S_IFDIR));
    EXPECT_EQ(file_type(scores_temp_name), 0u);

    ASSERT_EQ(rmdir(scores_file_name), 0);
    ASSERT_EQ(rmdir(dir.c_str()), 0);
    load_scores();
    save_scores();
    HighScoreTable empty = {};
    EXPECT_EQ(std::memcmp(&high_score_table, &empty, sizeof empty), 0);
    EXPECT_EQ(high_score_rank(0), 0);
}

TEST_F(ScoresFile, OddScoreTextsCountAsNumbersButAreSavedAsRead)
{
    std::string text = "c\n2147483648\nb\n007\na\nabc\nd\n-5\n";
    for (int i = 4; i < high_score_count - 1; i++)
        text += "e\n0\n";
    text += "f\n-2147483649\n";
    write_file(scores_file_name, text);
    load_scores();
    EXPECT_STREQ(high_score_table.score_texts[1], "007");
    EXPECT_EQ(high_score_rank(2000000000), 1); // "2147483648" is the largest score
    EXPECT_EQ(high_score_rank(7), 1);          // "007" counts 7
    EXPECT_EQ(high_score_rank(0), 2);          // "abc" counts 0
    EXPECT_EQ(high_score_rank(-6), 9);         // "-2147483649" is the smallest score
    save_scores();
    EXPECT_EQ(file_text(scores_file_name), text);
}

// Names edited by hand in UTF-8 or Latin-1 come back byte for byte; a new last
// entry on every cycle makes a refused save show as well.
TEST_F(ScoresFile, BytesAbove127SurviveManyLoadsAndSaves)
{
    std::string text = sample_file();
    text.replace(0, 2, "Zo\xc3\xab");
    text.replace(text.find("n1"), 2, "M\xfcller");
    text.replace(text.find("n2"), 2, "\xff\x80\xc3");
    // A six-byte UTF-8 lead byte with its tail cut: the library's text writer hangs on it.
    text.replace(text.find("n3"), 2, "\xbf" "32\xbf\xfd\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99");
    write_file(scores_file_name, text);
    for (int cycle = 0; cycle < 10; cycle++) {
        high_score_table = {};
        load_scores();
        insert_high_score(high_score_count - 1, "Cycle", cycle);
        save_scores();
    }
    EXPECT_STREQ(high_score_table.name_texts[0], "Zo\xc3\xab");
    EXPECT_EQ(file_text(scores_file_name), text.substr(0, text.find("n9\n")) + "Cycle\n9\n");
}

TEST_F(ScoresFile, ShortFileLeavesTheFieldsItDoesNotReachEmpty)
{
    write_file(scores_file_name, "Ann\n30\nBen\n20\nCat\n");
    load_scores();
    EXPECT_STREQ(high_score_table.score_texts[1], "20");
    EXPECT_STREQ(high_score_table.name_texts[2], "Cat");
    for (int field = 5; field < 2 * high_score_count; field++)
        EXPECT_STREQ(field % 2 ? high_score_table.score_texts[field / 2] : high_score_table.name_texts[field / 2], "");
}

// CR LF, no break after the last line, and lines after the twentieth (gone once saved).
TEST_F(ScoresFile, LineBreakVariantsReadAlike)
{
    for (std::string text : {sample_file("\r\n"), sample_file().substr(0, sample_file().size() - 1),
                             sample_file() + "extra\n5\n"}) {
        write_file(scores_file_name, text);
        high_score_table = {};
        load_scores();
        save_scores();
        EXPECT_EQ(file_text(scores_file_name), sample_file()) << text;
    }
}

// Past the 19th character it is the library's pack_fgets that decides; the field
// keeps the first 19 characters and nothing is written past it.
TEST_F(ScoresFile, OverlongLinesFillFieldsNineteenBytesAtATime)
{
    write_file(scores_file_name, "ABCDEFGHIJKLMNOPQRSTUVWXY\n10\n" + sample_file());
    load_scores();
    EXPECT_STREQ(high_score_table.name_texts[0], "ABCDEFGHIJKLMNOPQRS");
    write_file(scores_file_name, std::string(2 * high_score_count * score_field_chars + 7, 'q'));
    load_scores();
    for (int i = 0; i < high_score_count; i++)
        EXPECT_EQ(std::strlen(high_score_table.score_texts[i]), static_cast<size_t>(score_field_chars));
}

TEST_F(ScoresFile, RandomBytesNeverOverrunAFieldAndReadBackAsSaved)
{
    std::mt19937 random(77);
    std::uniform_int_distribution<int> size(0, 1200), byte(0, 255), newline_odds(0, 20);
    for (int round = 0; round < 300; round++) {
        std::string text(size(random), '\0');
        for (char& c : text)
            c = static_cast<char>(newline_odds(random) == 0 ? '\n' : byte(random));
        write_file(scores_file_name, text);
        load_scores();
        ASSERT_TRUE(every_field_ends_inside_itself()) << "round " << round;
        save_scores();
        HighScoreTable first = high_score_table;
        load_scores();
        ASSERT_EQ(std::memcmp(&first, &high_score_table, sizeof first), 0) << "round " << round;
    }
}

TEST_F(ScoresFile, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile)
{
    write_file(scores_file_name, sample_file());
    write_file(scores_temp_name, "left over from a crash\n");
    load_scores();
    copy_field(high_score_table.name_texts[4], "SNOWFLAKESNOWFLAKES"); // a full field
    save_scores();
    std::string expected = sample_file();
    EXPECT_EQ(file_text(scores_file_name), expected.replace(expected.find("n4"), 2, "SNOWFLAKESNOWFLAKES"));
    EXPECT_EQ(file_type(scores_temp_name), 0u);
}

// A temporary file that cannot be opened, and one on a full disk (where every write
// fails, yet the library closes the file without complaint).
TEST_F(ScoresFile, FailedSaveLeavesTheOldFileByteForByte)
{
    for (bool full_disk : {false, true}) {
        write_file(scores_file_name, sample_file());
        load_scores();
        insert_high_score(0, "Lost", 1000);
        ASSERT_EQ(full_disk ? symlink("/dev/full", scores_temp_name) : mkdir(scores_temp_name, 0755), 0);
        save_scores();
        ASSERT_EQ(file_type(scores_file_name), static_cast<mode_t>(S_IFREG)) << full_disk;
        EXPECT_EQ(file_text(scores_file_name), sample_file()) << full_disk;
        if (!full_disk) {
            EXPECT_EQ(file_type(scores_temp_name), static_cast<mode_t>(S_IFDIR)) << "not ours to remove";
        }
        std::filesystem::remove(scores_temp_name);
    }
}
