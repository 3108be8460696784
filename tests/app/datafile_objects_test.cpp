// Headers of datafile objects checked against the bytes their loaders will read.
#include <allegro.h>
#include <gtest/gtest.h>
#include <vector>

#include "app/datafile_objects.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, int v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void put32(Bytes& b, int32_t v)
{
    put16(b, int(uint32_t(v) >> 16));
    put16(b, int(v & 0xffff));
}

Bytes bitmap(int depth, int w, int h, size_t pixel_bytes)
{
    Bytes b;
    put16(b, depth);
    put16(b, w);
    put16(b, h);
    b.resize(b.size() + pixel_bytes);
    return b;
}

const char* check(int32_t type, const Bytes& b) { return check_object_body(type, b.data(), b.size()); }

TEST(DatafileObjects, BitmapsNeedAKnownDepthAndAllTheirPixels)
{
    EXPECT_EQ(check(DAT_BITMAP, bitmap(16, 4, 3, 24)), nullptr);
    EXPECT_EQ(check(DAT_BITMAP, bitmap(8, 4, 3, 12)), nullptr);
    EXPECT_EQ(check(DAT_BITMAP, bitmap(0x10000 - 32, 2, 2, 16)), nullptr); // 32-bit with alpha
    EXPECT_NE(check(DAT_BITMAP, bitmap(16, 4, 3, 23)), nullptr);
    EXPECT_NE(check(DAT_BITMAP, bitmap(29805, 4, 3, 1000)), nullptr);
    EXPECT_NE(check(DAT_BITMAP, bitmap(16, 0, 3, 0)), nullptr);
    EXPECT_NE(check(DAT_BITMAP, bitmap(16, 28719, 26028, 100)), nullptr);
    EXPECT_NE(check(DAT_BITMAP, Bytes{0, 16, 0}), nullptr);
}

TEST(DatafileObjects, SamplesNeedEightOrSixteenBitsAndAllTheirSound)
{
    Bytes mono;
    put16(mono, 16);
    put16(mono, 22050);
    put32(mono, 10);
    mono.resize(mono.size() + 20);
    EXPECT_EQ(check(DAT_SAMPLE, mono), nullptr);
    Bytes stereo = mono;
    stereo[0] = 0xff, stereo[1] = 0xf0; // -16: stereo needs twice the bytes
    EXPECT_NE(check(DAT_SAMPLE, stereo), nullptr);
    Bytes twelve = mono;
    twelve[1] = 12;
    EXPECT_NE(check(DAT_SAMPLE, twelve), nullptr);
}

Bytes tune(int32_t first_track_length, size_t first_track_bytes)
{
    Bytes b;
    put16(b, 96);
    put32(b, first_track_length);
    b.resize(b.size() + first_track_bytes);
    for (int track = 1; track < 32; track++)
        put32(b, 0);
    return b;
}

TEST(DatafileObjects, TunesNeedEveryTrackTheyAnnounce)
{
    // The track's bytes follow its length, before the next track's length.
    Bytes whole;
    put16(whole, 96);
    put32(whole, 3);
    whole.insert(whole.end(), {1, 2, 3});
    for (int track = 1; track < 32; track++)
        put32(whole, 0);
    EXPECT_EQ(check(DAT_MIDI, whole), nullptr);
    EXPECT_NE(check(DAT_MIDI, Bytes(whole.begin(), whole.end() - 1)), nullptr);
    EXPECT_NE(check(DAT_MIDI, tune(-1, 0)), nullptr);
    EXPECT_NE(check(DAT_MIDI, tune(1 << 30, 10)), nullptr);
}

Bytes mono_font(int32_t begin, int32_t last, int glyph_w, int glyph_h, size_t glyph_bytes)
{
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    b.push_back(1);
    put32(b, begin);
    put32(b, last);
    for (int32_t g = begin; g <= last && g - begin < 1000; g++) {
        put16(b, glyph_w);
        put16(b, glyph_h);
        b.resize(b.size() + glyph_bytes);
    }
    return b;
}

TEST(DatafileObjects, FontsNeedEveryGlyphOfTheirRanges)
{
    EXPECT_EQ(check(DAT_FONT, mono_font(32, 126, 8, 8, 8)), nullptr);
    EXPECT_NE(check(DAT_FONT, mono_font(32, 126, 8, 8, 7)), nullptr);
    EXPECT_NE(check(DAT_FONT, mono_font(32, 0x7fffffff, 8, 8, 8)), nullptr);
    EXPECT_NE(check(DAT_FONT, mono_font(126, 32, 8, 8, 8)), nullptr);
    Bytes old_layout;
    put16(old_layout, 8);
    old_layout.resize(old_layout.size() + 95 * 8);
    EXPECT_NE(check(DAT_FONT, old_layout), nullptr);
}

TEST(DatafileObjects, OtherTypesAreReadAsPlainBytes)
{
    EXPECT_EQ(check(DAT_ID('i', 'n', 'f', 'o'), Bytes{1, 2, 3}), nullptr);
    EXPECT_EQ(check(DAT_DATA, Bytes{}), nullptr);
}

} // namespace
