// Per-type checks of datafile objects: bitmaps (and compiled sprites), samples and tunes.
// Fonts and RLE sprites have files of their own. The library's loaders allocate what a header
// asks for and read what is there; a loader that fails frees the whole object list twice.
#include "app/datafile_objects.h"

#include <allegro.h>
#include <climits>

#include "app/datafile_fonts.h"
#include "app/datafile_rle.h"

namespace {

constexpr int midi_track_slots = 32;
constexpr uint64_t deepest_pixel = 4; // a loaded picture may be converted to 32-bit colour
constexpr int depth_8 = 8;

const char* check_bitmap(ByteReader in)
{
    int bits = 0;
    if (!in.get16(bits))
        return "is a bitmap cut short before its depth";
    const int depth = int16_t(bits); // negative: the same depth with an alpha channel
    return check_pixels(in, depth < 0 ? -depth : depth, depth < 0);
}

const char* check_sample(ByteReader in)
{
    int bits = 0, frequency = 0;
    int32_t length = 0;
    if (!in.get16(bits) || !in.get16(frequency) || !in.get32(length))
        return "is a sample cut short before its length";
    const int signed_bits = int16_t(bits); // negative: stereo
    const uint64_t channels = signed_bits < 0 ? 2 : 1;
    // The library reads 8-bit sound as bytes and any other depth as 16-bit words.
    const uint64_t bytes = (signed_bits == depth_8 || signed_bits == -depth_8) ? 1 : 2;
    const uint64_t size = uint64_t(uint32_t(length)) * channels * bytes;
    if (size > in.left)
        return "is a sample whose sound is cut short";
    return nullptr;
}

const char* check_midi(ByteReader in)
{
    int divisions = 0;
    if (!in.get16(divisions))
        return "is a tune cut short before its timing";
    for (int track = 0; track < midi_track_slots; track++) {
        int32_t length = 0;
        if (!in.get32(length))
            return "is a tune cut short before a track";
        // A length of zero or less is an empty track to the library.
        if (length > 0 && !in.skip(size_t(length)))
            return "is a tune with a track cut short";
    }
    return nullptr;
}

} // namespace

int stored_bytes_per_pixel(int depth, bool alpha)
{
    switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24:
    case 32: return alpha ? 4 : 3; // red, green, blue, and alpha when there is one
    default: return 0;
    }
}

bool depth_loads(int depth, bool alpha)
{
    if (stored_bytes_per_pixel(depth, alpha) == 0)
        return false;
    return !alpha || depth == 32 || depth == get_color_depth();
}

const char* check_pixels(ByteReader& in, int depth, bool alpha)
{
    if (stored_bytes_per_pixel(depth, alpha) == 0)
        return "is a picture of a colour depth the library cannot make";
    if (!depth_loads(depth, alpha))
        return "is a picture with an alpha channel the library cannot convert to this colour depth";
    int w = 0, h = 0;
    if (!in.get16(w) || !in.get16(h))
        return "is a picture cut short before its size";
    // The library sizes a picture in int arithmetic (plus a byte of padding at 24 bits).
    if (uint64_t(w) * uint64_t(h) * deepest_pixel + 1 > uint64_t(INT_MAX))
        return "is a picture too large for the library to size";
    if (!in.skip(size_t(w) * size_t(h) * size_t(stored_bytes_per_pixel(depth, alpha))))
        return "is a picture whose pixels are cut short";
    return nullptr;
}

const char* check_object_body(int32_t type, const ObjectBody& body)
{
    const ByteReader in{body.at, body.size};
    switch (type) {
    case DAT_BITMAP:
    case DAT_C_SPRITE:
    case DAT_XC_SPRITE: return check_bitmap(in);
    case DAT_RLE_SPRITE: return check_rle_sprite(in);
    case DAT_SAMPLE: return check_sample(in);
    case DAT_MIDI: return check_midi(in);
    case DAT_FONT: return check_font(in, body.end_seen);
    default: return nullptr; // read as plain bytes; a nested datafile is walked by the caller
    }
}
