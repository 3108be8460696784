// The scores file: creation, reading odd files, saving without ever losing the old table.
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "scores/scores_file.h"
#include "scores/table.h"
#include "work_dir.h"

namespace {

std::string default_file()
{
    std::string text;
    for (int i = 0; i < high_score_count; i++)
        text += std::string(default_score_name) + "\n" + std::to_string(default_score) + "\n";
    return text;
}

// Ten entries "n0".."n9" with scores 100, 90, ... 10, as a file would hold them.
std::string sample_file()
{
    std::string text;
    for (int i = 0; i < high_score_count; i++)
        text += "n" + std::to_string(i) + "\n" + std::to_string(100 - 10 * i) + "\n";
    return text;
}

bool every_field_ends_inside_itself()
{
    for (int i = 0; i < high_score_count; i++)
        if (strnlen(high_score_table.name_texts[i], score_field_size) >= score_field_size ||
            strnlen(high_score_table.score_texts[i], score_field_size) >= score_field_size)
            return false;
    return true;
}

class ScoresFile : public testing::Test {
protected:
    void SetUp() override { high_score_table = {}; }
    void TearDown() override { high_score_table = {}; }
    WorkDir dir;
};

} // namespace

TEST_F(ScoresFile, MissingFileIsCreatedWithDefaultsAndReadBack)
{
    load_scores();
    EXPECT_EQ(file_text(scores_file_name), default_file());
    for (int i = 0; i < high_score_count; i++) {
        EXPECT_STREQ(high_score_table.name_texts[i], default_score_name);
        EXPECT_EQ(score_value(high_score_table.score_texts[i]), default_score);
    }
    EXPECT_FALSE(file_present(scores_temp_name));
}

// Permissions cannot stop root, so the directory is made impossible to write for
// everyone: the test's working directory is removed while the test stands in it.
// Nothing can be created in a deleted directory (ENOENT), whoever asks.
TEST_F(ScoresFile, MissingFileThatCannotBeCreatedLeavesTheTableEmpty)
{
    ASSERT_EQ(rmdir(dir.path().c_str()), 0);
    load_scores();
    for (int i = 0; i < high_score_count; i++) {
        EXPECT_STREQ(high_score_table.name_texts[i], "");
        EXPECT_STREQ(high_score_table.score_texts[i], "");
    }
    EXPECT_EQ(high_score_rank(0), 0);
    save_scores(); // nowhere to go; must simply return
    EXPECT_FALSE(file_present(scores_file_name));
}

// A directory called "scores" is not a scores file, and nothing can replace it.
TEST_F(ScoresFile, DirectoryNamedScoresLeavesTheTableEmptyAndTheDirectoryAlone)
{
    ASSERT_EQ(mkdir(scores_file_name, 0755), 0);
    load_scores();
    EXPECT_STREQ(high_score_table.name_texts[0], "");
    EXPECT_EQ(high_score_rank(0), 0);
    struct stat info;
    ASSERT_EQ(stat(scores_file_name, &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_FALSE(file_present(scores_temp_name));
}

TEST_F(ScoresFile, SavedTableReadsBackAsItWas)
{
    write_file(scores_file_name, sample_file());
    load_scores();
    insert_high_score(high_score_rank(55), "Quinn", 55);
    HighScoreTable saved = high_score_table;
    save_scores();
    high_score_table = {};
    load_scores();
    EXPECT_EQ(std::memcmp(&high_score_table, &saved, sizeof saved), 0);
    EXPECT_FALSE(file_present(scores_temp_name));
}

TEST_F(ScoresFile, OddScoreTextsCountAsNumbersButAreSavedAsRead)
{
    std::string text = "a\nabc\nb\n007\nc\n +4x\n" + std::string("d\n-5\n");
    for (int i = 4; i < high_score_count; i++)
        text += "e\n0\n";
    write_file(scores_file_name, text);
    load_scores();
    EXPECT_STREQ(high_score_table.score_texts[0], "abc");
    EXPECT_EQ(score_value(high_score_table.score_texts[0]), 0);
    EXPECT_STREQ(high_score_table.score_texts[1], "007");
    EXPECT_EQ(score_value(high_score_table.score_texts[1]), 7);
    EXPECT_EQ(score_value(high_score_table.score_texts[3]), -5);
    save_scores();
    EXPECT_EQ(file_text(scores_file_name), text);
}

TEST_F(ScoresFile, OutOfRangeScoreTextsRankAtTheEndsAndSurviveSaving)
{
    std::string text = "big\n2147483648\n";
    for (int i = 1; i < high_score_count - 1; i++)
        text += "mid\n1000\n";
    text += "small\n-2147483649\n";
    write_file(scores_file_name, text);
    load_scores();
    EXPECT_EQ(high_score_rank(INT32_MAX - 1), 1);
    EXPECT_EQ(high_score_rank(INT32_MIN), 9);
    save_scores();
    EXPECT_EQ(file_text(scores_file_name), text);
}

// Names typed into the file by hand in UTF-8 or Latin-1 come back byte for byte.
TEST_F(ScoresFile, BytesAbove127SurviveManyLoadsAndSaves)
{
    std::string text = sample_file();
    text.replace(0, 2, "Zo\xc3\xab");          // UTF-8 e with diaeresis
    text.replace(text.find("n1"), 2, "M\xfcller"); // Latin-1 u with diaeresis
    text.replace(text.find("n2"), 2, "\xff\x80\xc3");
    write_file(scores_file_name, text);
    // A new last entry makes every save visible: a save that was refused shows too.
    for (int cycle = 0; cycle < 10; cycle++) {
        high_score_table = {};
        load_scores();
        insert_high_score(high_score_count - 1, "Cycle", cycle);
        save_scores();
    }
    EXPECT_STREQ(high_score_table.name_texts[0], "Zo\xc3\xab");
    EXPECT_STREQ(high_score_table.name_texts[1], "M\xfcller");
    std::string expected = text.substr(0, text.find("n9\n")) + "Cycle\n9\n";
    EXPECT_EQ(file_text(scores_file_name), expected);
}

TEST_F(ScoresFile, ShortFileLeavesTheFieldsItDoesNotReachEmpty)
{
    write_file(scores_file_name, "Ann\n30\nBen\n20\nCat\n");
    load_scores();
    EXPECT_STREQ(high_score_table.name_texts[1], "Ben");
    EXPECT_STREQ(high_score_table.score_texts[1], "20");
    EXPECT_STREQ(high_score_table.name_texts[2], "Cat");
    EXPECT_STREQ(high_score_table.score_texts[2], "");
    for (int i = 3; i < high_score_count; i++) {
        EXPECT_STREQ(high_score_table.name_texts[i], "") << i;
        EXPECT_STREQ(high_score_table.score_texts[i], "") << i;
    }
    EXPECT_EQ(high_score_rank(0), 2);
}

TEST_F(ScoresFile, EmptyFileGivesAnEmptyTable)
{
    write_file(scores_file_name, "");
    load_scores();
    for (int i = 0; i < high_score_count; i++)
        EXPECT_STREQ(high_score_table.name_texts[i], "") << i;
    EXPECT_EQ(high_score_rank(0), 0);
}

// What happens to the rest of a long line is the library's pack_fgets; the field
// keeps the first 19 characters and nothing is written past it.
TEST_F(ScoresFile, LongNameLineKeepsItsFirst19Characters)
{
    std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXY"; // 25
    write_file(scores_file_name, name + "\n10\n" + sample_file());
    load_scores();
    EXPECT_EQ(std::string(high_score_table.name_texts[0]), name.substr(0, score_field_chars));
    EXPECT_TRUE(every_field_ends_inside_itself());
}

TEST_F(ScoresFile, NineteenCharacterNameIsSavedWholeAndNothingElseMoves)
{
    write_file(scores_file_name, sample_file());
    load_scores();
    const char* full = "SNOWFLAKESNOWFLAKES"; // 19
    copy_field(high_score_table.name_texts[4], full);
    save_scores();
    std::string expected = sample_file();
    expected.replace(expected.find("n4\n"), 2, full);
    EXPECT_EQ(file_text(scores_file_name), expected);
}

TEST_F(ScoresFile, LastLineWithoutLineBreakIsReadLikeAnyOther)
{
    std::string text = sample_file();
    text.pop_back();
    write_file(scores_file_name, text);
    load_scores();
    EXPECT_STREQ(high_score_table.score_texts[9], "10");
    EXPECT_STREQ(high_score_table.name_texts[9], "n9");
}

TEST_F(ScoresFile, CrLfLineBreaksAreNotPartOfTheTexts)
{
    std::string text;
    for (int i = 0; i < high_score_count; i++)
        text += "n" + std::to_string(i) + "\r\n" + std::to_string(100 - 10 * i) + "\r\n";
    write_file(scores_file_name, text);
    load_scores();
    for (int i = 0; i < high_score_count; i++) {
        EXPECT_EQ(high_score_table.name_texts[i], "n" + std::to_string(i));
        EXPECT_EQ(score_value(high_score_table.score_texts[i]), 100 - 10 * i);
    }
    save_scores();
    EXPECT_EQ(file_text(scores_file_name), sample_file());
}

TEST_F(ScoresFile, LinesAfterTheTwentiethAreGoneAfterSaving)
{
    write_file(scores_file_name, sample_file() + "extra\n5\n");
    load_scores();
    save_scores();
    EXPECT_EQ(file_text(scores_file_name), sample_file());
}

TEST_F(ScoresFile, FileWithoutLineBreaksFillsFieldsNineteenBytesAtATime)
{
    std::string text(2 * high_score_count * score_field_chars + 7, 'q');
    write_file(scores_file_name, text);
    load_scores();
    EXPECT_TRUE(every_field_ends_inside_itself());
    for (int i = 0; i < high_score_count; i++) {
        EXPECT_EQ(std::strlen(high_score_table.name_texts[i]), static_cast<size_t>(score_field_chars));
        EXPECT_EQ(std::strlen(high_score_table.score_texts[i]), static_cast<size_t>(score_field_chars));
    }
}

TEST_F(ScoresFile, RandomBytesNeverOverrunAField)
{
    std::mt19937 random(77);
    for (int round = 0; round < 300; round++) {
        std::uniform_int_distribution<int> size(0, 1200), byte(0, 255), newline_odds(0, 20);
        std::string text(size(random), '\0');
        for (char& c : text)
            c = static_cast<char>(newline_odds(random) == 0 ? '\n' : byte(random));
        write_file(scores_file_name, text);
        high_score_table = {};
        load_scores();
        ASSERT_TRUE(every_field_ends_inside_itself()) << "round " << round;
        save_scores();
        HighScoreTable first = high_score_table;
        load_scores();
        // What was read is saved and read again unchanged, whatever it was.
        ASSERT_EQ(std::memcmp(&first, &high_score_table, sizeof first), 0) << "round " << round;
    }
}

TEST_F(ScoresFile, SaveReplacesTheOldContentAndLeavesNoTemporaryFile)
{
    write_file(scores_file_name, sample_file());
    write_file(scores_temp_name, "left over from a crash\n");
    load_scores();
    insert_high_score(0, "Top", 1000);
    save_scores();
    EXPECT_EQ(file_text(scores_file_name).substr(0, 9), "Top\n1000\n");
    EXPECT_FALSE(file_present(scores_temp_name));
}

TEST_F(ScoresFile, SaveThatCannotOpenItsTemporaryFileLeavesTheOldFile)
{
    write_file(scores_file_name, sample_file());
    load_scores();
    insert_high_score(0, "Lost", 1000);
    ASSERT_EQ(mkdir(scores_temp_name, 0755), 0);
    save_scores();
    EXPECT_EQ(file_text(scores_file_name), sample_file());
    struct stat info;
    ASSERT_EQ(stat(scores_temp_name, &info), 0); // someone else's directory stays
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}

// A full disk: every write fails, yet the library closes the file without complaint.
TEST_F(ScoresFile, SaveOntoAFullDiskLeavesTheOldFile)
{
    write_file(scores_file_name, sample_file());
    load_scores();
    insert_high_score(0, "Lost", 1000);
    ASSERT_EQ(symlink("/dev/full", scores_temp_name), 0);
    save_scores();
    struct stat info;
    ASSERT_EQ(lstat(scores_file_name, &info), 0);
    ASSERT_TRUE(S_ISREG(info.st_mode)); // not the link to the full disk
    EXPECT_EQ(file_text(scores_file_name), sample_file());
}

TEST_F(ScoresFile, ReadingAMissingFileChangesNothing)
{
    insert_high_score(0, "Kept", 5);
    read_scores("no such file");
    EXPECT_STREQ(high_score_table.name_texts[0], "Kept");
}
