// RLE sprite objects against the library's reader and drawing code.
// The reader copies runs into a buffer of the header's size until each line's end marker,
// whatever the buffer holds; when the screen's depth differs it draws the sprite to convert it,
// walking the stored lines. Both must stay inside the buffer.
#include "app/datafile_rle.h"

#include <allegro.h>
#include <climits>
#include <cstdint>

#include "app/datafile_objects.h"

namespace {

// The library's own RLE writer never makes a run longer than this, so a sprite it wrote has at
// least one byte of data for every this many pixels; a larger sprite asks for a drawing surface
// its data cannot account for.
constexpr uint64_t widest_run = 128;
// The reader stores at most 4 bytes for every 3 it reads; a buffer larger than twice the data
// is memory no data fills.
constexpr uint64_t memory_per_data_byte = 2;
constexpr uint64_t deepest_pixel = 4;
constexpr uint64_t word = 2, long_word = 4;
constexpr const char* lines_cut = "is a sprite whose lines are cut short";

// 8-bit: the data are stored as read; each line is signed byte counts (positive: that many
// pixels follow; negative: transparent) ending in a zero.
const char* check_runs_8(ByteReader in, int h, uint64_t size)
{
    if (size > in.left)
        return "is a sprite whose data are cut short";
    ByteReader runs{in.at, size_t(size)};
    for (int y = 0; y < h; y++)
        for (int c = 0;;) {
            if (!runs.get8(c))
                return lines_cut;
            const int count = c < 0x80 ? c : c - 0x100; // a signed byte
            if (count == 0)
                break;
            if (count > 0 && !runs.skip(size_t(count)))
                return lines_cut;
        }
    return nullptr;
}

// 15 and 16-bit: little-endian words, runs as above, each line ending in the 16-bit mask colour.
const char* check_runs_16(ByteReader in, int depth, int h, uint64_t& written)
{
    for (int y = 0; y < h; y++) {
        for (int c = 0;;) {
            if (!in.get16_intel(c))
                return lines_cut;
            written += word;
            if (c == MASK_COLOR_16)
                break;
            // The 15-bit drawing code ends a line at the 15-bit mask colour, which the reader
            // takes for a run: the two would part ways.
            if (depth == 15 && c == MASK_COLOR_15)
                return "is a 15-bit sprite with a run the library would draw as a line's end";
            const int count = int16_t(c);
            if (count > 0 && !in.skip(size_t(count) * word))
                return lines_cut;
            written += count > 0 ? uint64_t(count) * word : 0;
        }
    }
    return nullptr;
}

// 24 and 32-bit: little-endian longs for the counts and the line end; pixels of 3 bytes (4
// with alpha), each stored in 4.
const char* check_runs_32(ByteReader in, int depth, bool alpha, int h, uint64_t& written)
{
    const size_t pixel = size_t(stored_bytes_per_pixel(depth, alpha));
    for (int y = 0; y < h; y++) {
        for (int32_t c = 0;;) {
            if (!in.get32_intel(c))
                return lines_cut;
            written += long_word;
            if (uint32_t(c) == MASK_COLOR_32)
                break;
            if (c > 0 && !in.skip(size_t(c) * pixel))
                return lines_cut;
            written += c > 0 ? uint64_t(c) * long_word : 0;
        }
    }
    return nullptr;
}

} // namespace

const char* check_rle_sprite(ByteReader in)
{
    int bits = 0, w = 0, h = 0;
    int32_t size = 0;
    if (!in.get16(bits) || !in.get16(w) || !in.get16(h) || !in.get32(size))
        return "is a sprite cut short before its size";
    const int signed_depth = int16_t(bits); // negative: with an alpha channel
    const int depth = signed_depth < 0 ? -signed_depth : signed_depth;
    const bool alpha = signed_depth < 0;
    if (!stored_bytes_per_pixel(depth, alpha))
        return "is a sprite of a colour depth the library cannot make";
    if (!depth_loads(depth, alpha))
        return "is a sprite with an alpha channel the library cannot convert to this colour depth";
    if (size < 0 || uint64_t(size) > memory_per_data_byte * in.left)
        return "is a sprite that asks for more memory than its data can fill";
    const uint64_t pixels = uint64_t(w) * uint64_t(h);
    if (pixels * deepest_pixel + 1 > uint64_t(INT_MAX) || pixels > widest_run * in.left)
        return "is a sprite larger than its data can describe";
    if (depth == 8)
        return check_runs_8(in, h, uint64_t(size));
    uint64_t written = 0;
    const char* problem = depth <= 16 ? check_runs_16(in, depth, h, written)
                                      : check_runs_32(in, depth, alpha, h, written);
    if (problem)
        return problem;
    if (written > uint64_t(size))
        return "is a sprite whose runs overflow the memory it asks for";
    return nullptr;
}
