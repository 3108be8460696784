// The scores file against any content, read and saved by two games at once: fields stay
// terminated, ranks stay in range, and a table of plain names and numbers comes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

#include "in_temp_dir.h"
#include "scores/scores_file.h"
#include "scores/table.h"

namespace {

bool terminated(const char (&field)[score_field_size])
{
    return std::memchr(field, '\0', score_field_size) != nullptr;
}

// Fields the file format carries exactly: no line breaks, nothing cut by the 19-byte limit.
bool plain_table(const HighScoreTable& table)
{
    for (int i = 0; i < high_score_count; i++)
        for (const char* field : {table.name_texts[i], table.score_texts[i]}) {
            const size_t length = std::strlen(field);
            if (length >= score_field_chars - 1)
                return false;
            for (size_t k = 0; k < length; k++)
                if (field[k] < ' ' || field[k] > '~')
                    return false;
        }
    return true;
}

bool same_texts(const HighScoreTable& a, const HighScoreTable& b)
{
    for (int i = 0; i < high_score_count; i++)
        if (std::strcmp(a.name_texts[i], b.name_texts[i]) != 0 ||
            std::strcmp(a.score_texts[i], b.score_texts[i]) != 0)
            return false;
    return true;
}

void check_table(const HighScoreTable& table)
{
    for (int i = 0; i < high_score_count; i++)
        if (!terminated(table.name_texts[i]) || !terminated(table.score_texts[i]))
            std::abort();
}

// Ranks and inserts `score` as a finished game would; true when it entered.
bool enter(HighScoreTable& table, const char* name, int32_t score)
{
    const int rank = high_score_rank(table, score);
    if (rank < -1 || rank >= high_score_count)
        std::abort();
    insert_high_score(table, rank, name, score);
    check_table(table);
    return rank >= 0;
}

std::string file_bytes(const char* name)
{
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    start_in_temp_dir();
    write_input(scores_file_name, data, size);
    // Two games read the same file; each enters a score and saves, the second merging.
    HighScoreTable first, second, reread;
    ScoresFile first_file, second_file, reread_file;
    load_scores(first, first_file);
    load_scores(second, second_file);
    check_table(first);

    // The first eight bytes choose the two scores.
    int32_t scores[2] = {};
    std::memcpy(scores, data, size < sizeof scores ? size : sizeof scores);
    const bool first_entered = enter(first, "Fuzz", scores[0]);
    const bool second_entered = enter(second, "Zzuf", scores[1]);
    save_scores(first, first_file);
    save_scores(second, second_file);
    check_table(second);

    if (!first_entered && !second_entered) {
        if (file_bytes(scores_file_name) != std::string(reinterpret_cast<const char*>(data), size))
            std::abort(); // nothing new, yet the file was written
        return 0;
    }
    load_scores(reread, reread_file);
    check_table(reread);
    // A game with nothing new writes nothing, so the table on disk is the last one saved.
    const HighScoreTable& last = second_entered ? second : first;
    if (plain_table(last) && !same_texts(last, reread))
        std::abort(); // a table the file can carry came back different
    return 0;
}
