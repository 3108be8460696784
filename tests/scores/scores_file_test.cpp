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

// Every test stands in a fresh temporary directory of its own.
class ScoresFile : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/blockrise-scores-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        std::filesystem::current_path(dir = pattern);
    }
    void TearDown() override
    {
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
        high_score_table = {};
    }
    std::filesystem::path home = std::filesystem::current_path(), dir;
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

// Root ignores permissions, so: a directory named "scores", then a deleted working directory.
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
}

// Fields keep their bytes ("007" stays "007"); a save replaces a longer file whole, so a
// refused or partial save shows, and clears away a temporary file left by a crash.
TEST_F(ScoresFile, FilesReadAndSaveBackAsTheirFieldsByteForByte)
{
    std::string odd = "c\n2147483648\nb\n007\na\nabc\nd\n-5\n";
    for (int i = 4; i < high_score_count - 1; i++)
        odd += "e\n0\n";
    odd += "f\n-2147483649\n";
    std::string high_bytes = sample_file();
    high_bytes.replace(0, 2, "Zo\xc3\xab");
    high_bytes.replace(high_bytes.find("n1"), 2, "M\xfcller");
    high_bytes.replace(high_bytes.find("n2"), 2, "\xff\x80\xc3");
    // A six-byte UTF-8 lead byte with its tail cut: the library's text writer hangs on it.
    high_bytes.replace(high_bytes.find("n3"), 2, "\xbf" "32\xbf\xfd\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99");
    const std::string sample = sample_file();
    std::string full_field = sample;
    full_field.replace(full_field.find("n4"), 2, "SNOWFLAKESNOWFLAKES");
    const struct { std::string written, saved; } rows[] = {
        {odd, odd}, {high_bytes, high_bytes}, {full_field, full_field},
        {sample_file("\r\n"), sample},
        {sample.substr(0, sample.size() - 1), sample}, // no break after the last line
        {sample + "extra\n5\n", sample},               // lines past the twentieth are dropped
        {"Ann\n30\nBen\n20\nCat\n", "Ann\n30\nBen\n20\nCat\n" + std::string(15, '\n')}, // the rest stays empty
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.written);
        write_file(scores_file_name, row.written);
        for (int cycle = 0; cycle < 3; cycle++) {
            high_score_table = {};
            load_scores();
            EXPECT_EQ(high_score_table.name_texts[0], row.saved.substr(0, row.saved.find('\n')));
            write_file(scores_file_name, std::string(1000, 's'));
            write_file(scores_temp_name, "left over from a crash\n");
            save_scores();
            EXPECT_EQ(file_text(scores_file_name), row.saved) << "cycle " << cycle;
            EXPECT_EQ(file_type(scores_temp_name), 0u);
        }
    }
}

// Past the 19th character the library's pack_fgets decides; the field keeps 19 and no more.
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
        for (int i = 0; i < high_score_count; i++)
            ASSERT_TRUE(strnlen(high_score_table.name_texts[i], score_field_size) < score_field_size &&
                        strnlen(high_score_table.score_texts[i], score_field_size) < score_field_size)
                << "round " << round << ", entry " << i;
        save_scores();
        HighScoreTable first = high_score_table;
        load_scores();
        ASSERT_EQ(std::memcmp(&first, &high_score_table, sizeof first), 0) << "round " << round;
    }
}

// A temporary file that cannot be opened, and one on a full disk (every write fails, yet
// the library closes the file without complaint).
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
        EXPECT_EQ(file_type(scores_temp_name), full_disk ? 0 : static_cast<mode_t>(S_IFDIR)) << "not ours to remove";
        std::filesystem::remove(scores_temp_name);
    }
}
