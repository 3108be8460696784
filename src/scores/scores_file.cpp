// Reading and writing "scores" through the library's packed-file text I/O.
#include "scores/scores_file.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "scores/table.h"

#if defined(__unix__)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#if defined(ALLEGRO_DOS) || defined(ALLEGRO_WINDOWS)
constexpr const char* written_line_break = "\r\n"; // what pack_fputs makes of "\n" there
#else
constexpr const char* written_line_break = "\n";
#endif

// Sets the library's text format for one block and puts the old one back after.
class TextFormat {
public:
    explicit TextFormat(int type) : previous(get_uformat()) { set_uformat(type); }
    ~TextFormat() { set_uformat(previous); }
    TextFormat(const TextFormat&) = delete;
    TextFormat& operator=(const TextFormat&) = delete;

private:
    int previous;
};

void read_field(char (&field)[score_field_size], PACKFILE* file)
{
    pack_fgets(field, score_field_size, file);
    field[score_field_chars] = '\0';
}

std::string file_bytes(const HighScoreTable& table)
{
    std::string bytes;
    for (int i = 0; i < high_score_count; i++) {
        bytes += table.name_texts[i];
        bytes += written_line_break;
        bytes += table.score_texts[i];
        bytes += written_line_break;
    }
    return bytes;
}

void write_line(const char* field, PACKFILE* file)
{
    pack_fwrite(field, static_cast<long>(std::strlen(field)), file);
    pack_fputs("\n", file);
}

// False only when the file could not be opened; write errors show in the read-back.
bool write_table(const char* path, const HighScoreTable& table)
{
    PACKFILE* file = pack_fopen(path, F_WRITE);
    if (!file)
        return false;
    // The fields go out as raw bytes: pack_fputs would decode them as text first, and a
    // hand-edited name need not be valid text (a stray six-byte UTF-8 lead byte hangs it).
    for (int i = 0; i < high_score_count; i++) {
        write_line(table.name_texts[i], file);
        write_line(table.score_texts[i], file);
    }
    pack_fclose(file);
    return true;
}

// The library does not report a failed flush on closing (a full disk closes "fine"),
// so the written file is read back and compared before it may replace anything.
bool file_holds(const char* path, const std::string& expected)
{
    PACKFILE* file = pack_fopen(path, F_READ);
    if (!file)
        return false;
    std::string found(expected.size() + 1, '\0');
    long got = pack_fread(&found[0], static_cast<long>(found.size()), file);
    pack_fclose(file);
    return got == static_cast<long>(expected.size()) && found.compare(0, expected.size(), expected) == 0;
}

// Gets the new file onto the disk before the rename makes it the only copy.
void flush_to_disk(const char* path)
{
#if defined(__unix__)
    int fd = open(path, O_RDONLY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
#else
    (void)path;
#endif
}

void replace_scores_file(const HighScoreTable& table)
{
    if (!write_table(scores_temp_name, table))
        return; // nothing was created, so nothing to clear away
    if (file_holds(scores_temp_name, file_bytes(table))) {
        flush_to_disk(scores_temp_name);
        if (std::rename(scores_temp_name, scores_file_name) == 0)
            return;
    }
    std::remove(scores_temp_name);
}

} // namespace

void read_scores(const char* path)
{
    PACKFILE* file = pack_fopen(path, F_READ);
    if (!file)
        return;
    // In its default UTF-8 format pack_fgets writes each byte >= 128 as two; in 8-bit
    // ASCII every byte of the file lands in the field as it is.
    TextFormat bytes_as_read(U_ASCII);
    for (int i = 0; i < high_score_count; i++) {
        read_field(high_score_table.name_texts[i], file);
        read_field(high_score_table.score_texts[i], file);
    }
    pack_fclose(file);
}

void load_scores()
{
    if (!exists(scores_file_name)) {
        // The defaults reach the table only by way of the file.
        HighScoreTable defaults = {};
        for (int i = 0; i < high_score_count; i++) {
            copy_field(defaults.name_texts[i], default_score_name);
            std::snprintf(defaults.score_texts[i], score_field_size, "%i", default_score);
        }
        replace_scores_file(defaults);
    }
    if (!exists(scores_file_name))
        return;
    read_scores(scores_file_name);
}

void save_scores()
{
    replace_scores_file(high_score_table);
}
