// The generated "blocks.dat": it loads, and each object looks, reads and sounds as the game needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "app/assets.h"

namespace {

constexpr int cell = 32;

struct Colour {
    double r = 0, g = 0, b = 0;
    double luminance() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
    double distance(const Colour& o) const { return std::hypot(r - o.r, g - o.g, b - o.b); }
};

Colour colour_at(BITMAP* bmp, int x, int y)
{
    const int depth = bitmap_color_depth(bmp), c = getpixel(bmp, x, y);
    return {double(getr_depth(depth, c)), double(getg_depth(depth, c)), double(getb_depth(depth, c))};
}

// Pixels of a rectangle that have colour `c`.
int count_colour(BITMAP* bmp, int c, int x0, int y0, int w, int h)
{
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            n += getpixel(bmp, x, y) == c;
    return n;
}

int count_mask(BITMAP* b, int x0, int y0, int w, int h)
{
    return count_colour(b, bitmap_mask_color(b), x0, y0, w, h);
}

// Mean colour of a rectangle, leaving out mask-coloured pixels.
Colour mean_colour(BITMAP* bmp, int x0, int y0, int w, int h)
{
    Colour sum;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            if (getpixel(bmp, x, y) != bitmap_mask_color(bmp)) {
                const Colour c = colour_at(bmp, x, y);
                sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
            }
    const int n = w * h - count_mask(bmp, x0, y0, w, h);
    return n > 0 ? Colour{sum.r / n, sum.g / n, sum.b / n} : sum;
}

// Pixels that differ between a w x h area at (ax,0) of `a` and at (bx,0) of `b`.
int differing(BITMAP* a, int ax, BITMAP* b, int bx, int w, int h)
{
    int n = 0;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            n += getpixel(a, ax + x, y) != getpixel(b, bx + x, y);
    return n;
}

// A picture as the game stretches it onto its 640x480 screen.
std::unique_ptr<BITMAP, void (*)(BITMAP*)> on_screen(Asset a)
{
    BITMAP* from = asset_bitmap(a);
    std::unique_ptr<BITMAP, void (*)(BITMAP*)> to(create_bitmap(640, 480), destroy_bitmap);
    stretch_blit(from, to.get(), 0, 0, from->w, from->h, 0, 0, 640, 480);
    return to;
}

// Loads the real file (which runs the catalogue check) for each test and releases it afterwards.
struct RealData : testing::Test {
    void SetUp() override { const char* why = load_game_data(BLOCKS_DAT_PATH); ASSERT_EQ(why, nullptr) << why; }
    void TearDown() override { if (game_data) unload_datafile(game_data); game_data = nullptr; }
};

int ink_pixels(FONT* f, const char* text)
{
    BITMAP* b = create_bitmap(text_length(f, text) + 4, text_height(f) + 4);
    clear_to_color(b, makecol(0, 0, 0));
    textout_ex(b, f, text, 2, 2, makecol(255, 255, 255), -1);
    const int n = count_colour(b, makecol(255, 255, 255), 0, 0, b->w, b->h);
    destroy_bitmap(b);
    return n;
}

TEST_F(RealData, FontsAreOneColourSizedForTheirUseAndDrawEveryCharacter)
{
    FONT* normal = asset_font(Asset::normal_font);
    FONT* large = asset_font(Asset::large_font);
    // A colour font would ignore the colour the game asks for.
    EXPECT_TRUE(is_mono_font(normal) && is_mono_font(large));
    EXPECT_TRUE(text_height(normal) >= 14 && text_height(normal) <= 24) << text_height(normal);
    EXPECT_TRUE(text_height(large) >= 28 && text_height(large) <= 44) << text_height(large);
    // Scores, the clock and names: every printable character has ink except the space.
    for (int ch = '!'; ch <= '~'; ch++) {
        const char text[2] = {char(ch), 0};
        EXPECT_GT(ink_pixels(normal, text), 0) << "character " << text;
    }
    EXPECT_EQ(ink_pixels(normal, " "), 0);
    for (const char* word : {"WIN!", "LOSE", "TIE!", "HIGH SCORES", "New High Score!"})
        EXPECT_GT(ink_pixels(large, word), ink_pixels(normal, word)) << word;
    // Digits share one width, so a growing score does not jitter.
    for (const char* digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9"})
        EXPECT_EQ(text_length(normal, digit), text_length(normal, "0")) << digit;
}

TEST_F(RealData, TilesAreADarkEmptyAndFiveDistinctBlocksEachWithItsOwnLightSymbol)
{
    BITMAP* strip = asset_bitmap(Asset::tile_strip);
    EXPECT_LT(mean_colour(strip, 0, 0, cell, cell).luminance(), 50.0);
    std::vector<Colour> blocks;
    std::vector<std::vector<bool>> marks; // the light pixels of the middle of each block
    for (int n = 1; n < 6; n++) {
        blocks.push_back(mean_colour(strip, n * cell, 0, cell, cell));
        EXPECT_GT(blocks.back().luminance(), 70.0) << "tile " << n << " is too dark to read at 3/4 opacity";
        // Mask pixels would turn black in the game's tiles.
        EXPECT_EQ(count_mask(strip, n * cell, 0, cell, cell), 0) << "tile " << n;
        marks.emplace_back();
        for (int y = 8; y < 24; y++)
            for (int x = 8; x < 24; x++) {
                const Colour c = colour_at(strip, n * cell + x, y);
                marks.back().push_back(std::min({c.r, c.g, c.b}) > 200);
            }
        EXPECT_GT(std::count(marks.back().begin(), marks.back().end(), true), 30) << "tile " << n;
    }
    for (size_t a = 0; a < blocks.size(); a++)
        for (size_t b = a + 1; b < blocks.size(); b++) {
            EXPECT_GT(blocks[a].distance(blocks[b]), 60.0) << "tiles " << a + 1 << " and " << b + 1;
            int differ = 0;
            for (size_t i = 0; i < marks[a].size(); i++)
                differ += marks[a][i] != marks[b][i];
            EXPECT_GT(differ, 20) << "symbols of tiles " << a + 1 << " and " << b + 1;
        }
}

TEST_F(RealData, CursorFramesLeaveThePairVisibleAndAlternate)
{
    constexpr int px = 6, py = 6, pw = 64, ph = 32; // the cursor's pair of cells inside the frame
    BITMAP* a = asset_bitmap(Asset::cursor_a);
    BITMAP* b = asset_bitmap(Asset::cursor_b);
    for (BITMAP* f : {a, b}) {
        ASSERT_EQ(f->w, 76);
        ASSERT_EQ(f->h, 44);
        EXPECT_EQ(count_mask(f, px, py, pw, ph), pw * ph) << "the frame covers part of the two cells";
        // A frame all the way round: some ink above, below, left and right of the pair.
        const int sides[4][4] = {{0, 0, f->w, py}, {0, py + ph, f->w, f->h - py - ph},
                                 {0, py, px, ph}, {px + pw, py, f->w - px - pw, ph}};
        for (const auto& s : sides)
            EXPECT_LT(count_mask(f, s[0], s[1], s[2], s[3]), s[2] * s[3]) << "side at " << s[0] << "," << s[1];
    }
    EXPECT_GT(differing(a, 0, b, 0, a->w, a->h), 100) << "the two cursor frames look the same";
}

TEST_F(RealData, PopupsShowDistinctPicturesWithTheMaskAround)
{
    BITMAP* strip = asset_bitmap(Asset::popup_strip);
    for (int i = 0; i < 12; i++) {
        const int masked = count_mask(strip, i * cell, 0, cell, cell);
        EXPECT_LT(masked, cell * cell - 40) << "popup " << i << " is (nearly) empty";
        EXPECT_GT(masked, cell * cell / 3) << "popup " << i << " would hide the blocks under it";
        for (int j = 0; j < i; j++)
            EXPECT_GT(differing(strip, i * cell, strip, j * cell, cell, cell), 40) << "popups " << j << "/" << i;
    }
}

TEST_F(RealData, FullScreenPicturesLeaveRoomForStarsTextAndBlocks)
{
    // The logo lets the stars through around its artwork.
    BITMAP* logo = asset_bitmap(Asset::logo);
    ASSERT_EQ(logo->w, 640);
    ASSERT_EQ(logo->h, 480);
    const int all = 640 * 480, masked = count_mask(logo, 0, 0, 640, 480);
    EXPECT_GT(masked, all / 2);
    EXPECT_LT(masked, all - all / 20);

    // The title menu, in the built-in font in white, lies on a dark, plain part of a real picture.
    const auto title = on_screen(Asset::title_picture);
    constexpr int mx0 = 60, my0 = 350, mx1 = 220, my1 = 398;
    const Colour menu = mean_colour(title.get(), mx0, my0, mx1 - mx0, my1 - my0);
    EXPECT_LT(menu.luminance(), 70.0) << "white menu text would not stand out";
    double brightest = 0;
    for (int y = my0; y < my1; y++)
        for (int x = mx0; x < mx1; x++)
            brightest = std::max(brightest, colour_at(title.get(), x, y).luminance());
    EXPECT_LT(brightest, 140.0) << "something bright lies under the menu text";
    EXPECT_GT(mean_colour(title.get(), 0, 0, 640, 200).distance(menu) +
                  mean_colour(title.get(), 400, 300, 240, 180).distance(menu), 30.0);

    // Scores at (64,12) and ending at x=576; the clock centred at x=320, y=130.
    const auto game = on_screen(Asset::game_background);
    EXPECT_LT(mean_colour(game.get(), 64, 12, 100, 24).luminance(), 100.0);
    EXPECT_LT(mean_colour(game.get(), 476, 12, 100, 24).luminance(), 100.0);
    EXPECT_LT(mean_colour(game.get(), 290, 130, 60, 25).luminance(), 140.0);
    BITMAP* well = asset_bitmap(Asset::well_background);
    const Colour mean = mean_colour(well, 0, 0, well->w, well->h);
    EXPECT_LT(mean.luminance(), 60.0);
    EXPECT_GT(mean_colour(asset_bitmap(Asset::tile_strip), cell, 0, cell, cell).distance(mean), 80.0);
}

// Distance of a sample value from silence, 0..1 (the library keeps 16-bit samples unsigned).
double level(const SAMPLE* s, unsigned long i)
{
    return s->bits == 16 ? std::abs(static_cast<const uint16_t*>(s->data)[i] - 0x8000) / 32768.0
                         : std::abs(static_cast<const uint8_t*>(s->data)[i] - 0x80) / 128.0;
}

struct Length {
    Asset asset;
    double min_s, max_s;
};

TEST_F(RealData, SoundsAreShortMonoAndStartAndEndInSilence)
{
    const Length sounds[] = {{Asset::title_sound, 0.3, 1.0},   {Asset::start_sound, 0.4, 1.0},
                             {Asset::match_sound, 0.05, 0.3},  {Asset::warning_sound, 0.3, 0.8},
                             {Asset::last_moment_sound, 0.4, 1.0}};
    for (const auto& e : sounds) {
        SCOPED_TRACE(testing::Message() << "object " << int(e.asset));
        const SAMPLE* s = asset_sample(e.asset);
        EXPECT_EQ(s->stereo, 0);
        EXPECT_GE(double(s->len) / s->freq, e.min_s);
        EXPECT_LE(double(s->len) / s->freq, e.max_s);
        // A jump from or to silence is heard as a click.
        EXPECT_LT(level(s, 0), 0.02);
        EXPECT_LT(level(s, s->len - 1), 0.02);
        double peak = 0;
        for (unsigned long i = 0; i < s->len; i++)
            peak = std::max(peak, level(s, i));
        EXPECT_GT(peak, 0.3) << "too quiet";
        EXPECT_LT(peak, 0.99) << "clips";
    }
}

uint32_t read_varlen(const unsigned char*& p)
{
    uint32_t v = 0;
    do
        v = (v << 7) | (*p & 0x7F);
    while (*p++ & 0x80);
    return v;
}

TEST_F(RealData, TunesLoopCleanlyWithMelodyBassAndDrums)
{
    const Length tunes[] = {{Asset::starfield_music, 20, 40}, {Asset::game_music, 30, 60}};
    for (const auto& e : tunes) {
        SCOPED_TRACE(testing::Message() << "object " << int(e.asset));
        // Walk every track's events as the library's player would.
        const MIDI* midi = asset_midi(e.asset);
        double us_per_beat = 500000;
        uint32_t longest = 0;
        std::map<int, int> notes_by_channel;
        for (const auto& track : midi->track) {
            std::map<int, int> held; // channel * 128 + key -> notes started and not yet released
            const unsigned char* p = track.data;
            uint32_t tick = 0;
            unsigned char status = 0;
            while (p && p < track.data + track.len) {
                tick += read_varlen(p);
                if (*p & 0x80)
                    status = *p++;
                if (status == 0xFF) {
                    const unsigned char type = *p++;
                    const uint32_t len = read_varlen(p);
                    if (type == 0x51 && len == 3)
                        us_per_beat = (p[0] << 16) | (p[1] << 8) | p[2];
                    p += len;
                    if (type == 0x2F)
                        break;
                } else if (status == 0xF0 || status == 0xF7) {
                    p += read_varlen(p);
                } else {
                    const int kind = status & 0xF0, note = (status & 0x0F) * 128 + p[0];
                    if (kind == 0x90 && p[1] > 0)
                        notes_by_channel[status & 0x0F]++, held[note]++;
                    else if (kind == 0x80 || kind == 0x90)
                        held[note]--;
                    p += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
                }
            }
            longest = std::max(longest, tick);
            for (const auto& [note, count] : held) // a note never released sounds across the loop
                EXPECT_LE(count, 0) << "note " << note << " hangs";
        }
        const double seconds = longest * us_per_beat / 1e6 / midi->divisions;
        EXPECT_GE(seconds, e.min_s);
        EXPECT_LE(seconds, e.max_s);
        EXPECT_GT(notes_by_channel[9], 20) << "no drums";
        int melodic = 0;
        for (const auto& [channel, count] : notes_by_channel)
            melodic += channel != 9 && count >= 8;
        EXPECT_GE(melodic, 2) << "needs a melody and a bass";
    }
}

} // namespace
