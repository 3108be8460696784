// Each object type's header against the bytes its loader reads.
// Every layout the library reads is accepted and loads with its type however it is stored; what
// would overrun, fail or mislead a loader is refused with its reason. (The sanitizer build runs
// the loads under AddressSanitizer, which also fails them on any leak.)
#include <allegro.h>
#include <gtest/gtest.h>
#include <climits>
#include <random>
#include <string>
#include <vector>

#include "app/datafile_objects.h"
#include "app/datafile_shape.h"
#include "datafile_builder.h"

namespace {

// A glyph-range font with a one-colour range followed by a 16-bit colour range.
Bytes mixed_font()
{
    Bytes b;
    put16(put16(b, 0), 2);
    put16(put16(put32(put32(put8(b, 1), 'a'), 'a'), 8), 1), put8(b, 0xff);
    put16(put16(put16(put32(put32(put8(b, 16), 'b'), 'b'), 1), 1), 0);
    return b;
}

constexpr int fixed_glyphs = 224;
constexpr int wide_run = MASK_COLOR_15; // a 15-bit run the drawing code takes for a line's end
constexpr int alpha = 0x10000;          // a depth minus this is that depth with an alpha channel

struct Row {
    int32_t type;
    Bytes body;
    const char* message; // nullptr: accepted
    bool end_seen = true;
};

const std::vector<Row>& rows()
{
    static const std::vector<Row> table = {
        {DAT_BITMAP, bitmap(16, 4, 3, 24), nullptr},
        {DAT_BITMAP, bitmap(8, 4, 3, 12), nullptr},
        {DAT_BITMAP, bitmap(16, 0, 0, 0), nullptr},
        {DAT_BITMAP, bitmap(32, 2, 2, 12), nullptr}, // 32-bit without alpha: three bytes a pixel
        {DAT_BITMAP, bitmap(alpha - 32, 2, 2, 16), nullptr},
        {DAT_BITMAP, bitmap(alpha - 32, 2, 2, 15), "pixels are cut short"},
        {DAT_BITMAP, bitmap(alpha - 16, 2, 2, 8), nullptr}, // alpha at the screen's own depth
        {DAT_BITMAP, bitmap(alpha - 24, 2, 2, 16), "alpha channel"},
        {DAT_BITMAP, bitmap(16, 4, 3, 23), "pixels are cut short"},
        {DAT_BITMAP, bitmap(29805, 4, 3, 1000), "colour depth"},
        {DAT_BITMAP, bitmap(4, 4, 4, 8), "colour depth"},
        {DAT_BITMAP, bitmap(8, 65535, 65535, 100), "too large"},
        {DAT_BITMAP, Bytes{0, 16, 0}, "cut short before its size"},
        {DAT_C_SPRITE, bitmap(16, 2, 2, 8), nullptr},
        {DAT_XC_SPRITE, bitmap(8, 2, 2, 4), nullptr},
        {DAT_XC_SPRITE, bitmap(8, 2, 2, 3), "pixels are cut short"},

        {DAT_SAMPLE, sample(16, 10, 20), nullptr},
        {DAT_SAMPLE, sample(alpha - 16, 10, 20), "sound is cut short"}, // stereo needs twice the bytes
        {DAT_SAMPLE, sample(alpha - 16, 10, 40), nullptr},
        {DAT_SAMPLE, sample(8, 10, 10), nullptr},
        {DAT_SAMPLE, sample(8, 10, 9), "sound is cut short"},
        {DAT_SAMPLE, sample(12, 10, 20), nullptr}, // any depth but 8 is read as 16-bit words
        {DAT_SAMPLE, sample(12, 10, 19), "sound is cut short"},
        {DAT_SAMPLE, sample(16, -1, 100), "sound is cut short"},

        {DAT_MIDI, tune(3, 3), nullptr},
        {DAT_MIDI, tune(-1, 0), nullptr}, // an empty track to the library
        {DAT_MIDI, cut(tune(3, 3)), "cut short before a track"},
        {DAT_MIDI, tune(1 << 30, 10), "track cut short"},

        {DAT_FONT, range_font(1, 32, 126, 8), nullptr},
        {DAT_FONT, range_font(255, -5, -1, 8), nullptr},
        {DAT_FONT, range_font(16, 65, 70, 8), nullptr},
        {DAT_FONT, range_font(0, 65, 70, 4), nullptr}, // 0: 8-bit colour
        {DAT_FONT, range_font(1, 32, 126, 7), "glyphs are cut short"},
        {DAT_FONT, range_font(7, 65, 66, 4), "unknown depth"},
        {DAT_FONT, range_font(1, 32, INT32_MAX, 8), "cannot hold"},
        {DAT_FONT, range_font(1, 126, 32, 8), "cannot hold"},
        {DAT_FONT, words({0}), "without glyph ranges"},
        {DAT_FONT, mixed_font(), "mixes one-colour and colour"},
        {DAT_FONT, fixed_font(8, fixed_glyphs * 8), nullptr},
        {DAT_FONT, fixed_font(16, fixed_glyphs * 16 + 5), nullptr},
        {DAT_FONT, fixed_font(8, fixed_glyphs * 8 - 1), "fixed-size font whose glyphs are cut short"},
        {DAT_FONT, proportional_font(95), nullptr},
        {DAT_FONT, proportional_font(0), nullptr}, // the library makes every glyph blank
        {DAT_FONT, proportional_font(fixed_glyphs + 3), nullptr},
        {DAT_FONT, proportional_font(3, 2), "proportional font whose glyphs are cut short"},
        {DAT_FONT, proportional_font(3), "reads past its end", false},
        {DAT_FONT, proportional_font(fixed_glyphs), nullptr, false}, // it stops at 224 anyway
        {DAT_FONT, Bytes{0}, "font cut short"},

        {DAT_RLE_SPRITE, rle_sprite(8, 3, 2, 10, rle_lines(8, 2)), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(8, 3, 2, 11, rle_lines(8, 2)), "data are cut short"},
        {DAT_RLE_SPRITE, rle_sprite(8, 3, 2, 5, rle_lines(8, 2)), "lines are cut short"},
        {DAT_RLE_SPRITE, rle_sprite(16, 3, 2, 20, rle_lines(16, 2)), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(16, 0, 0, 0, {}), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(16, 3, 2, 19, rle_lines(16, 2)), "overflow the memory"},
        {DAT_RLE_SPRITE, rle_sprite(16, 3, 2, 20, cut(rle_lines(16, 2))), "lines are cut short"},
        {DAT_RLE_SPRITE, rle_sprite(15, 3, 1, 10, rle_lines(15, 1)), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(15, 3, 1, 2 * wide_run + 6, rle_lines(15, 1, wide_run)), "line's end"},
        {DAT_RLE_SPRITE, rle_sprite(32, 3, 2, 40, rle_lines(32, 2)), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(24, 3, 2, 40, rle_lines(24, 2)), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(32, 3, 2, 39, rle_lines(32, 2)), "overflow the memory"},
        {DAT_RLE_SPRITE, rle_sprite(16, 3, 2, 1000000, rle_lines(16, 2)), "more memory"},
        {DAT_RLE_SPRITE, rle_sprite(16, 60, 2, 20, rle_lines(16, 2)), nullptr},
        {DAT_RLE_SPRITE, rle_sprite(16, 65535, 2, 20, rle_lines(16, 2)), "larger than its data"},
        {DAT_RLE_SPRITE, rle_sprite(12, 3, 2, 20, rle_lines(16, 2)), "colour depth"},
        {DAT_RLE_SPRITE, rle_sprite(alpha - 24, 3, 2, 40, rle_lines(24, 2)), "alpha channel"},

        {DAT_ID('i', 'n', 'f', 'o'), Bytes{1, 2, 3}, nullptr}, // other types are plain bytes
        {DAT_DATA, Bytes{}, nullptr},
    };
    return table;
}

// Checks and loads `file`: the library's list must hold `types`, each with its data.
void expect_loads(const Bytes& file, const std::vector<int32_t>& types, const char* how)
{
    SCOPED_TRACE(how);
    const TempFile temp(file);
    ASSERT_EQ(check_datafile_shape(temp.path.c_str()), nullptr) << check_datafile_shape(temp.path.c_str());
    DATAFILE* data = load_datafile(temp.path.c_str());
    ASSERT_NE(data, nullptr);
    size_t n = 0;
    for (; data[n].type != DAT_END && n < types.size(); n++)
        EXPECT_TRUE(data[n].type == types[n] && data[n].dat) << "object " << n;
    EXPECT_EQ(n, types.size());
    unload_datafile(data);
}

TEST(DatafileObjects, AcceptsEveryLayoutTheLibraryReadsAndSaysWhatWouldBreakIt)
{
    ASSERT_EQ(get_color_depth(), 16) << "the alpha rows assume a 16-bit screen";
    for (size_t i = 0; i < rows().size(); i++) {
        const Row& row = rows()[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        const char* problem = check_object_body(row.type, {row.body.data(), row.body.size(), row.end_seen});
        if (row.message) {
            EXPECT_NE(text(problem).find(row.message), std::string::npos) << text(problem);
            continue;
        }
        ASSERT_EQ(problem, nullptr) << problem;
        // Accepted: the library loads it stored plainly, packed on its own, in a file packed
        // whole, and nested; a plain object after it shows where the library takes the next to start.
        const Object plain{row.type, row.body}, packed{row.type, row.body, true}, after{data_type, {4, 5, 6}};
        const std::vector<int32_t> types{row.type, data_type};
        expect_loads(datafile({plain, after}), types, "stored plainly");
        expect_loads(datafile({packed, after}), types, "packed on its own");
        expect_loads(datafile({packed, after}, true), types, "packed on its own in a file packed whole");
        const Object nested{DAT_FILE, object_list({packed, after}), true};
        expect_loads(datafile({nested, after}), {DAT_FILE, data_type}, "nested, all packed on their own");
    }
}

TEST(DatafileObjects, RandomVariationsThatPassTheCheckLoad)
{
    std::vector<Object> objects;
    for (const Row& row : rows())
        if (!row.message && row.end_seen)
            objects.push_back({row.type, row.body, objects.size() % 3 == 0});
    objects.push_back({DAT_FILE, object_list({objects[0], objects[1]})});
    const Bytes rich = datafile(objects);
    std::mt19937 random(5);
    int accepted = 0;
    for (int round = 0; round < 600; round++) {
        Bytes file = rich;
        for (int changes = int(random() % 3) + 1; changes > 0; changes--)
            file[4 + random() % (file.size() - 4)] = uint8_t(random());
        const TempFile temp(file);
        if (check_datafile_shape(temp.path.c_str()) != nullptr)
            continue;
        accepted++;
        DATAFILE* data = load_datafile(temp.path.c_str());
        ASSERT_NE(data, nullptr) << "round " << round << " passed the check but does not load";
        unload_datafile(data);
    }
    EXPECT_GT(accepted, 100);
}

} // namespace
