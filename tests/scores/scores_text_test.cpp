// Scores file bytes read into fields and written back: odd files, long lines, stray bytes.
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>

#include "scores/scores_text.h"
#include "scores_files.h"

// Fields keep their bytes, "007" stays "007"; line ends, missing lines and overlong lines are
// what the library's line reader makes of them.
TEST(ScoresText, FilesReadAndWriteBackAsTheirFieldsByteForByte)
{
    std::string odd = "c\n2147483648\nb\n007\na\nabc\nd\n-5\n";
    for (int i = 4; i < high_score_count - 1; i++)
        odd += "e\n0\n";
    odd += "f\n-2147483649\n";
    const std::string sample = text_of(sample_entries());
    std::string high_bytes = sample;
    high_bytes.replace(0, 2, "Zo\xc3\xab");
    high_bytes.replace(high_bytes.find("n1"), 2, "M\xfcller");
    high_bytes.replace(high_bytes.find("n2"), 2, "\xff\x80\xc3");
    // A six-byte UTF-8 lead byte with its tail cut: the library's text writer hangs on it.
    high_bytes.replace(high_bytes.find("n3"), 2, "\xbf" "32\xbf\xfd\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99\x99");
    std::string full_field = sample;
    full_field.replace(full_field.find("n4"), 2, "SNOWFLAKESNOWFLAKES");
    std::string crlf = sample, cr = sample;
    for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
        crlf.insert(at, "\r");
    for (char& c : cr)
        c = c == '\n' ? '\r' : c;
    const std::string cut = "ABCDEFGHIJKLMNOPQRS\nTUVWXY\n"; // a 25-byte line fills two fields
    const Entries sample_list = sample_entries();
    const std::string first_entries = text_of(Entries(sample_list.begin(), sample_list.begin() + 8));
    const struct { std::string written, read_back; } rows[] = {
        {odd, odd}, {high_bytes, high_bytes}, {full_field, full_field}, {crlf, sample}, {cr, sample},
        {sample.substr(0, sample.size() - 1), sample}, // no break after the last line
        {sample + "extra\n5\n", sample},               // lines past the twentieth are dropped
        {"Ann\n30\nBen\n20\nCat\n", "Ann\n30\nBen\n20\nCat\n" + std::string(15, '\n')}, // the rest stays empty
        {"ABCDEFGHIJKLMNOPQRSTUVWXY\n10\n" + sample, cut + "10\n" + first_entries + "n8\n"},
        {"", std::string(2 * high_score_count, '\n')},
    };
    for (const auto& row : rows) {
        HighScoreTable table;
        read_scores_text(table, row.written);
        EXPECT_EQ(scores_text(table), row.read_back) << row.written;
    }
}

// Whatever the bytes, no field overruns, and what is written reads back as the same table.
TEST(ScoresText, RandomBytesNeverOverrunAFieldAndReadBackAsWritten)
{
    std::mt19937 random(77);
    std::uniform_int_distribution<int> size(0, 1200), byte(0, 255), line_break_odds(0, 20);
    for (int round = 0; round < 500; round++) {
        std::string bytes(size(random), '\0');
        for (char& c : bytes)
            c = static_cast<char>(line_break_odds(random) == 0 ? '\n' : byte(random));
        HighScoreTable first, second;
        std::memset(&first, 'x', sizeof first); // whatever the table held is replaced
        read_scores_text(first, bytes);
        for (int i = 0; i < high_score_count; i++)
            ASSERT_TRUE(strnlen(first.name_texts[i], score_field_size) < score_field_size &&
                        strnlen(first.score_texts[i], score_field_size) < score_field_size)
                << "round " << round << ", entry " << i;
        const std::string written = scores_text(first);
        read_scores_text(second, written);
        ASSERT_EQ(scores_text(second), written) << "round " << round;
    }
    HighScoreTable unterminated;
    std::memset(&unterminated, 'u', sizeof unterminated);
    EXPECT_EQ(scores_text(unterminated), text_of(Entries(high_score_count, {std::string(19, 'u'), std::string(19, 'u')})));
}
