// Writing a loaded tune back out as a Standard MIDI File.
#include "midi_file.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr uint32_t header_length = 6;
constexpr uint16_t format_many_tracks = 1;

bool put_u32(FILE* f, uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v >> 24),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v)};
    return std::fwrite(b, 1, sizeof b, f) == sizeof b;
}

bool put_u16(FILE* f, uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v)};
    return std::fwrite(b, 1, sizeof b, f) == sizeof b;
}

bool put_tag(FILE* f, const char* tag)
{
    return std::fwrite(tag, 1, 4, f) == 4;
}

bool has_data(const MIDI* tune, int t)
{
    return tune->track[t].data != nullptr && tune->track[t].len > 0;
}

// The library keeps each track's event stream exactly as it was in its chunk,
// so a chunk header in front of it is all a reader needs.
bool write_tracks(FILE* f, const MIDI* tune)
{
    for (int t = 0; t < MIDI_TRACKS; t++) {
        if (!has_data(tune, t))
            continue;
        const size_t len = static_cast<size_t>(tune->track[t].len);
        if (!put_tag(f, "MTrk") || !put_u32(f, static_cast<uint32_t>(len)) ||
            std::fwrite(tune->track[t].data, 1, len, f) != len)
            return false;
    }
    return true;
}

} // namespace

bool save_midi(const char* path, const MIDI* tune)
{
    if (!tune)
        return false;
    uint16_t tracks = 0;
    for (int t = 0; t < MIDI_TRACKS; t++)
        tracks += has_data(tune, t) ? 1 : 0;
    if (tracks == 0)
        return false;

    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = put_tag(f, "MThd") && put_u32(f, header_length) &&
              put_u16(f, format_many_tracks) && put_u16(f, tracks) &&
              put_u16(f, static_cast<uint16_t>(tune->divisions)) && write_tracks(f, tune);
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}
