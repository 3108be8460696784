// Font objects in the library's three layouts.
// A fixed-size font of 224 one-colour glyphs, a proportional font of up to 224 8-bit pictures,
// and glyph ranges of one-colour or colour glyphs.
#include "app/datafile_fonts.h"

#include <cstdint>

#include "app/datafile_objects.h"

namespace {

constexpr int old_layout_glyphs = 224; // characters 32-255
constexpr int glyph_range_layout = 0;
constexpr int mono_range = 1;
constexpr int mono_range_alias = 255;
constexpr int colour_range_default = 0; // an older way to say 8-bit colour
constexpr int depth_8 = 8;
constexpr size_t smallest_glyph = 4; // width and height

const char* check_fixed_font(ByteReader in, int height)
{
    // Each glyph is 8 pixels wide: one byte a row.
    if (!in.skip(size_t(old_layout_glyphs) * size_t(height)))
        return "is a fixed-size font whose glyphs are cut short";
    return nullptr;
}

const char* check_proportional_font(ByteReader in, bool end_seen)
{
    // The library reads 8-bit pictures until it sees the end of the object, then makes blank ones.
    int glyph = 0;
    for (; glyph < old_layout_glyphs && in.left > 0; glyph++)
        if (check_pixels(in, depth_8, false))
            return "is a proportional font whose glyphs are cut short";
    if (glyph < old_layout_glyphs && !end_seen)
        return "is a proportional font packed so that the library reads past its end";
    return nullptr;
}

const char* check_glyphs(ByteReader& in, int depth, int64_t count)
{
    for (int64_t glyph = 0; glyph < count; glyph++) {
        if (depth == mono_range || depth == mono_range_alias) {
            int w = 0, h = 0;
            if (!in.get16(w) || !in.get16(h) || !in.skip(size_t((w + 7) / 8) * size_t(h)))
                return "is a font whose glyphs are cut short";
        } else if (check_pixels(in, depth == colour_range_default ? depth_8 : depth, false)) {
            return "is a font with a colour glyph that is cut short or of an unknown depth";
        }
    }
    return nullptr;
}

const char* check_range_font(ByteReader in)
{
    int ranges = 0;
    // Without a range the library leaves the font's drawing functions unset.
    if (!in.get16(ranges) || ranges < 1)
        return "is a font without glyph ranges";
    int first_kind = -1;
    for (int r = 0; r < ranges; r++) {
        int depth = 0;
        int32_t begin = 0, last = 0;
        if (!in.get8(depth) || !in.get32(begin) || !in.get32(last))
            return "is a font cut short before a glyph range";
        // The library keeps one set of drawing functions per font, the last range's, and would
        // draw one-colour glyphs as pictures or the other way round.
        const int kind = depth == mono_range || depth == mono_range_alias;
        if (first_kind >= 0 && kind != first_kind)
            return "is a font that mixes one-colour and colour glyph ranges";
        first_kind = kind;
        // The range's end is last + 1 in an int; every glyph takes at least its size.
        const int64_t count = int64_t(last) - int64_t(begin) + 1;
        if (count < 1 || last == INT32_MAX || uint64_t(count) > in.left / smallest_glyph)
            return "is a font with a glyph range it cannot hold";
        if (const char* problem = check_glyphs(in, depth, count))
            return problem;
    }
    return nullptr;
}

} // namespace

const char* check_font(ByteReader in, bool end_seen)
{
    int word = 0;
    if (!in.get16(word))
        return "is a font cut short";
    const int height = int16_t(word);
    if (height > glyph_range_layout)
        return check_fixed_font(in, height);
    if (height < glyph_range_layout)
        return check_proportional_font(in, end_seen);
    return check_range_font(in);
}
