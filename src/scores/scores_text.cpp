// Scores file bytes to fields through the library's line reader, and fields back to bytes.
#include "scores/scores_text.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>
#include <cstring>

namespace {

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

// The bytes are read once, under the file's lock, and then handed to pack_fgets from
// memory, so the fields split exactly as they always did when the library read the file.
struct Source {
    const std::string& bytes;
    size_t at;
};

Source& source_of(void* userdata)
{
    return *static_cast<Source*>(userdata);
}

int source_getc(void* userdata)
{
    Source& s = source_of(userdata);
    return s.at < s.bytes.size() ? static_cast<unsigned char>(s.bytes[s.at++]) : EOF;
}

int source_ungetc(int c, void* userdata)
{
    Source& s = source_of(userdata);
    if (s.at == 0)
        return EOF;
    s.at--;
    return c;
}

long source_fread(void* to, long n, void* userdata)
{
    Source& s = source_of(userdata);
    const size_t count = std::min(static_cast<size_t>(n), s.bytes.size() - s.at);
    std::memcpy(to, s.bytes.data() + s.at, count);
    s.at += count;
    return static_cast<long>(count);
}

int source_fseek(void* userdata, int offset)
{
    Source& s = source_of(userdata);
    s.at = std::min(s.bytes.size(), s.at + static_cast<size_t>(offset));
    return 0;
}

int source_feof(void* userdata)
{
    Source& s = source_of(userdata);
    return s.at >= s.bytes.size();
}

int no_error(void*)
{
    return 0;
}

int refuse_putc(int, void*)
{
    return EOF;
}

long refuse_fwrite(const void*, long, void*)
{
    return 0;
}

const PACKFILE_VTABLE memory_source = {no_error, source_getc, source_ungetc, source_fread,
                                       refuse_putc, refuse_fwrite, source_fseek, source_feof, no_error};

void read_field(char (&field)[score_field_size], PACKFILE* file)
{
    pack_fgets(field, score_field_size, file);
    field[score_field_chars] = '\0';
}

void append_field(std::string& text, const char (&field)[score_field_size])
{
    text.append(field, strnlen(field, score_field_chars));
    text += '\n';
}

} // namespace

void read_scores_text(HighScoreTable& table, const std::string& bytes)
{
    table = {};
    Source source{bytes, 0};
    PACKFILE* file = pack_fopen_vtable(&memory_source, &source);
    if (!file)
        return;
    // In its default UTF-8 format pack_fgets writes each byte >= 128 as two; in 8-bit
    // ASCII every byte of the file lands in the field as it is.
    TextFormat bytes_as_read(U_ASCII);
    for (int i = 0; i < high_score_count; i++) {
        read_field(table.name_texts[i], file);
        read_field(table.score_texts[i], file);
    }
    pack_fclose(file);
}

std::string scores_text(const HighScoreTable& table)
{
    // Raw bytes, never pack_fputs: that decodes its text first, and a hand-edited name need
    // not be valid text (a stray six-byte UTF-8 lead byte hangs it).
    std::string text;
    for (int i = 0; i < high_score_count; i++) {
        append_field(text, table.name_texts[i]);
        append_field(text, table.score_texts[i]);
    }
    return text;
}
