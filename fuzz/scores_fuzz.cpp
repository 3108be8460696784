// The scores loader against any file content: fields stay terminated, ranks stay in range, and a
// table of plain names and numbers comes back from the file unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

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

void check_table()
{
    for (int i = 0; i < high_score_count; i++)
        if (!terminated(high_score_table.name_texts[i]) || !terminated(high_score_table.score_texts[i]))
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    start_in_temp_dir();
    write_input(scores_file_name, data, size);
    high_score_table = {};
    load_scores();
    check_table();

    // The first four bytes choose a score to rank and insert, as a finished game would.
    int32_t score = 0;
    std::memcpy(&score, data, size < sizeof score ? size : sizeof score);
    const int rank = high_score_rank(score);
    if (rank < -1 || rank >= high_score_count)
        std::abort();
    insert_high_score(rank, "Fuzz", score);
    check_table();

    const HighScoreTable saved = high_score_table;
    save_scores();
    high_score_table = {};
    load_scores();
    check_table();
    if (plain_table(saved) && !same_texts(saved, high_score_table))
        std::abort(); // a table the file can carry came back different
    return 0;
}
