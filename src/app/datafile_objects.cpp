// Per-type checks of datafile objects. The library's loaders allocate what a header asks for and
// free twice when a depth is one they cannot make, so those headers are checked against the bytes
// that are really there before any loader runs.
#include "app/datafile_objects.h"

#include <allegro.h>

namespace {

constexpr int midi_track_slots = 32;
constexpr int font_layout_ranges = 0;  // the only font layout the datafile tool writes
constexpr int mono_range = 1;
constexpr int mono_range_alias = 255;
constexpr int max_font_ranges = 4096;

int bytes_per_pixel(int depth)
{
    switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

// Width, height and pixels of a bitmap of the given depth.
const char* check_pixels(ByteReader& in, int depth)
{
    const int bpp = bytes_per_pixel(depth);
    if (!bpp)
        return "is a bitmap of a colour depth the library cannot make";
    int w = 0, h = 0;
    if (!in.get16(w) || !in.get16(h))
        return "is a bitmap cut short before its size";
    if (w < 1 || h < 1)
        return "is a bitmap without pixels";
    if (!in.skip(size_t(w) * size_t(h) * size_t(bpp)))
        return "is a bitmap whose pixels are cut short";
    return nullptr;
}

const char* check_bitmap(ByteReader in)
{
    int bits = 0;
    if (!in.get16(bits))
        return "is a bitmap cut short before its depth";
    const int16_t depth = int16_t(bits); // negative: the same depth with an alpha channel
    return check_pixels(in, depth < 0 ? -depth : depth);
}

const char* check_rle_sprite(ByteReader in)
{
    int bits = 0, w = 0, h = 0;
    int32_t size = 0;
    if (!in.get16(bits) || !in.get16(w) || !in.get16(h) || !in.get32(size))
        return "is a sprite cut short before its size";
    const int16_t depth = int16_t(bits);
    if (!bytes_per_pixel(depth < 0 ? -depth : depth))
        return "is a sprite of a colour depth the library cannot make";
    if (size < 0 || !in.skip(size_t(size)))
        return "is a sprite whose data are cut short";
    return nullptr;
}

const char* check_sample(ByteReader in)
{
    int bits = 0, frequency = 0;
    int32_t length = 0;
    if (!in.get16(bits) || !in.get16(frequency) || !in.get32(length))
        return "is a sample cut short before its length";
    const int16_t signed_bits = int16_t(bits); // negative: stereo
    const int channels = signed_bits < 0 ? 2 : 1;
    const int depth = signed_bits < 0 ? -signed_bits : signed_bits;
    if (depth != 8 && depth != 16)
        return "is a sample of neither 8 nor 16 bits";
    if (length < 0 || !in.skip(size_t(length) * size_t(channels) * size_t(depth / 8)))
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
        if (length < 0 || !in.skip(size_t(length)))
            return "is a tune with a track cut short";
    }
    return nullptr;
}

const char* check_font(ByteReader in)
{
    int layout = 0, ranges = 0;
    if (!in.get16(layout))
        return "is a font cut short";
    if (layout != font_layout_ranges)
        return "is a font in an old layout the game does not read";
    if (!in.get16(ranges) || ranges < 1 || ranges > max_font_ranges)
        return "is a font without a sensible number of glyph ranges";
    for (int r = 0; r < ranges; r++) {
        int depth = 0;
        int32_t begin = 0, last = 0;
        if (!in.get8(depth) || !in.get32(begin) || !in.get32(last))
            return "is a font cut short before a glyph range";
        if (begin < 0 || last < begin || size_t(last - begin) >= in.left / 4)
            return "is a font with a glyph range it cannot hold";
        for (int32_t glyph = begin; glyph <= last; glyph++) {
            if (depth == mono_range || depth == mono_range_alias) {
                int w = 0, h = 0;
                if (!in.get16(w) || !in.get16(h) || !in.skip(size_t((w + 7) / 8) * size_t(h)))
                    return "is a font whose glyphs are cut short";
            } else if (check_pixels(in, depth)) {
                return "is a font with a colour glyph that is cut short or of an unknown depth";
            }
        }
    }
    return nullptr;
}

} // namespace

bool ByteReader::get8(int& value)
{
    if (left < 1)
        return false;
    value = at[0];
    at++;
    left--;
    return true;
}

bool ByteReader::get16(int& value)
{
    if (left < 2)
        return false;
    value = (int(at[0]) << 8) | int(at[1]);
    at += 2;
    left -= 2;
    return true;
}

bool ByteReader::get32(int32_t& value)
{
    if (left < 4)
        return false;
    value = int32_t((uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) | (uint32_t(at[2]) << 8) |
                    uint32_t(at[3]));
    at += 4;
    left -= 4;
    return true;
}

bool ByteReader::skip(size_t count)
{
    if (count > left)
        return false;
    at += count;
    left -= count;
    return true;
}

const char* check_object_body(int32_t type, const uint8_t* body, size_t size)
{
    const ByteReader in{body, size};
    switch (type) {
    case DAT_BITMAP:
    case DAT_C_SPRITE:
    case DAT_XC_SPRITE: return check_bitmap(in);
    case DAT_RLE_SPRITE: return check_rle_sprite(in);
    case DAT_SAMPLE: return check_sample(in);
    case DAT_MIDI: return check_midi(in);
    case DAT_FONT: return check_font(in);
    default: return nullptr; // read as plain bytes
    }
}
