// The generated "blocks.dat": it loads, and each object looks, reads and sounds as the game needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <vector>

#include "app/assets.h"

namespace {

constexpr int cell = 32;
constexpr int tile_count = 6;
constexpr int popup_count = 12;
// Where the game draws a cursor's pair of cells inside the frame picture.
constexpr int pair_x = 6, pair_y = 6, pair_w = 64, pair_h = 32;
// Where the game writes its title menu, in the built-in font, in white.
constexpr int menu_x0 = 60, menu_y0 = 350, menu_x1 = 220, menu_y1 = 398;

struct Colour {
    double r = 0, g = 0, b = 0;
    double luminance() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
    double distance(const Colour& o) const { return std::hypot(r - o.r, g - o.g, b - o.b); }
};

Colour colour_at(BITMAP* bmp, int x, int y)
{
    const int depth = bitmap_color_depth(bmp);
    const int c = getpixel(bmp, x, y);
    return {double(getr_depth(depth, c)), double(getg_depth(depth, c)), double(getb_depth(depth, c))};
}

bool is_mask(BITMAP* bmp, int x, int y)
{
    return getpixel(bmp, x, y) == bitmap_mask_color(bmp);
}

// Mean colour of a rectangle, leaving out mask-coloured pixels.
Colour mean_colour(BITMAP* bmp, int x0, int y0, int w, int h)
{
    Colour sum;
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++) {
            if (is_mask(bmp, x, y))
                continue;
            const Colour c = colour_at(bmp, x, y);
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
            n++;
        }
    if (n > 0)
        sum = {sum.r / n, sum.g / n, sum.b / n};
    return sum;
}

int count_mask(BITMAP* bmp, int x0, int y0, int w, int h)
{
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            n += is_mask(bmp, x, y);
    return n;
}

// Loads the real file for each test and releases it afterwards, whatever the test did.
struct RealData : testing::Test {
    void SetUp() override
    {
        const char* problem = load_game_data(BLOCKS_DAT_PATH);
        ASSERT_EQ(problem, nullptr) << problem;
    }
    void TearDown() override
    {
        if (game_data)
            unload_datafile(game_data);
        game_data = nullptr;
    }
};

TEST_F(RealData, PassesTheCatalogueCheck)
{
    EXPECT_EQ(check_game_data(game_data), nullptr);
    for (int i = 0; i < asset_count; i++)
        EXPECT_NE(game_data[i].dat, nullptr) << "object " << i;
}

// ---- fonts

int ink_pixels(FONT* f, const char* text)
{
    BITMAP* b = create_bitmap(text_length(f, text) + 4, text_height(f) + 4);
    clear_to_color(b, makecol(0, 0, 0));
    textout_ex(b, f, text, 2, 2, makecol(255, 255, 255), -1);
    int n = 0;
    for (int y = 0; y < b->h; y++)
        for (int x = 0; x < b->w; x++)
            n += getpixel(b, x, y) == makecol(255, 255, 255);
    destroy_bitmap(b);
    return n;
}

TEST_F(RealData, FontsAreOneColourAndSizedForTheirUse)
{
    FONT* normal = asset_font(Asset::normal_font);
    FONT* large = asset_font(Asset::large_font);
    // A colour font would ignore the colour the game asks for.
    EXPECT_TRUE(is_mono_font(normal));
    EXPECT_TRUE(is_mono_font(large));
    EXPECT_GE(text_height(normal), 14);
    EXPECT_LE(text_height(normal), 24);
    EXPECT_GE(text_height(large), 28);
    EXPECT_LE(text_height(large), 44);
    EXPECT_LT(text_height(normal), text_height(large));
}

TEST_F(RealData, FontsDrawEveryCharacterTheGameWrites)
{
    FONT* normal = asset_font(Asset::normal_font);
    FONT* large = asset_font(Asset::large_font);
    // Scores, the clock and names: every printable character has ink except the space.
    for (int ch = '!'; ch <= '~'; ch++) {
        const char text[2] = {static_cast<char>(ch), 0};
        EXPECT_GT(ink_pixels(normal, text), 0) << "character " << text;
    }
    for (const char* word : {"WIN!", "LOSE", "TIE!", "HIGH SCORES", "New High Score!"})
        EXPECT_GT(ink_pixels(large, word), ink_pixels(normal, word)) << word;
    // Digits share one width, so a growing score does not jitter.
    const int zero = text_length(normal, "0");
    for (const char* digit : {"1", "2", "3", "4", "5", "6", "7", "8", "9"})
        EXPECT_EQ(text_length(normal, digit), zero) << digit;
    EXPECT_EQ(ink_pixels(normal, " "), 0);
}

// ---- tiles, cursor and popups

TEST_F(RealData, EmptyTileIsDarkAndBlockTilesDifferInColour)
{
    BITMAP* strip = asset_bitmap(Asset::tile_strip);
    EXPECT_LT(mean_colour(strip, 0, 0, cell, cell).luminance(), 50.0);
    Colour blocks[tile_count];
    for (int n = 1; n < tile_count; n++) {
        blocks[n] = mean_colour(strip, n * cell, 0, cell, cell);
        EXPECT_GT(blocks[n].luminance(), 70.0) << "tile " << n << " is too dark to read at 3/4 opacity";
        // Mask pixels would turn black in the game's tiles.
        EXPECT_EQ(count_mask(strip, n * cell, 0, cell, cell), 0) << "tile " << n;
    }
    for (int a = 1; a < tile_count; a++)
        for (int b = a + 1; b < tile_count; b++)
            EXPECT_GT(blocks[a].distance(blocks[b]), 60.0) << "tiles " << a << " and " << b;
}

TEST_F(RealData, EachBlockCarriesItsOwnLightSymbol)
{
    BITMAP* strip = asset_bitmap(Asset::tile_strip);
    // The light pixels of the middle of each block form a mark; no two marks have the same shape.
    std::vector<std::vector<bool>> marks;
    for (int n = 1; n < tile_count; n++) {
        std::vector<bool> mark;
        int light = 0;
        for (int y = 8; y < 24; y++)
            for (int x = 8; x < 24; x++) {
                const Colour c = colour_at(strip, n * cell + x, y);
                const bool is_light = std::min({c.r, c.g, c.b}) > 200;
                mark.push_back(is_light);
                light += is_light;
            }
        EXPECT_GT(light, 30) << "tile " << n << " has no clear symbol";
        marks.push_back(mark);
    }
    for (size_t a = 0; a < marks.size(); a++)
        for (size_t b = a + 1; b < marks.size(); b++) {
            int differ = 0;
            for (size_t i = 0; i < marks[a].size(); i++)
                differ += marks[a][i] != marks[b][i];
            EXPECT_GT(differ, 20) << "symbols of tiles " << a + 1 << " and " << b + 1;
        }
}

TEST_F(RealData, CursorFramesLeaveThePairVisibleAndAlternate)
{
    BITMAP* a = asset_bitmap(Asset::cursor_a);
    BITMAP* b = asset_bitmap(Asset::cursor_b);
    int differing = 0;
    for (BITMAP* frame : {a, b}) {
        ASSERT_EQ(frame->w, 76);
        ASSERT_EQ(frame->h, 44);
        EXPECT_EQ(count_mask(frame, pair_x, pair_y, pair_w, pair_h), pair_w * pair_h)
            << "the frame covers part of the two cells";
        // A frame all the way round: some ink on every side of the pair.
        EXPECT_LT(count_mask(frame, 0, 0, frame->w, pair_y), frame->w * pair_y);
        EXPECT_LT(count_mask(frame, 0, pair_y + pair_h, frame->w, frame->h - pair_y - pair_h),
                  frame->w * (frame->h - pair_y - pair_h));
        EXPECT_LT(count_mask(frame, 0, pair_y, pair_x, pair_h), pair_x * pair_h);
        EXPECT_LT(count_mask(frame, pair_x + pair_w, pair_y, frame->w - pair_x - pair_w, pair_h),
                  (frame->w - pair_x - pair_w) * pair_h);
    }
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            differing += getpixel(a, x, y) != getpixel(b, x, y);
    EXPECT_GT(differing, 100) << "the two cursor frames look the same";
}

TEST_F(RealData, PopupsShowDistinctPicturesWithTheMaskAround)
{
    BITMAP* strip = asset_bitmap(Asset::popup_strip);
    for (int i = 0; i < popup_count; i++) {
        const int masked = count_mask(strip, i * cell, 0, cell, cell);
        EXPECT_LT(masked, cell * cell - 40) << "popup " << i << " is (nearly) empty";
        EXPECT_GT(masked, cell * cell / 3) << "popup " << i << " would hide the blocks under it";
        for (int j = 0; j < i; j++) {
            int differ = 0;
            for (int y = 0; y < cell; y++)
                for (int x = 0; x < cell; x++)
                    differ += getpixel(strip, i * cell + x, y) != getpixel(strip, j * cell + x, y);
            EXPECT_GT(differ, 40) << "popups " << j << " and " << i << " look alike";
        }
    }
}

// ---- full-screen pictures

TEST_F(RealData, LogoLetsTheStarsThroughAroundItsArtwork)
{
    BITMAP* logo = asset_bitmap(Asset::logo);
    ASSERT_EQ(logo->w, 640);
    ASSERT_EQ(logo->h, 480);
    const int all = logo->w * logo->h;
    const int masked = count_mask(logo, 0, 0, logo->w, logo->h);
    EXPECT_GT(masked, all / 2);
    EXPECT_LT(masked, all - all / 20);
}

TEST_F(RealData, TitlePictureKeepsTheMenuAreaDarkAndPlain)
{
    BITMAP* title = asset_bitmap(Asset::title_picture);
    // Measured where the game lands on its 640x480 title image after stretching.
    BITMAP* screen_sized = create_bitmap(640, 480);
    stretch_blit(title, screen_sized, 0, 0, title->w, title->h, 0, 0, 640, 480);
    const Colour menu = mean_colour(screen_sized, menu_x0, menu_y0, menu_x1 - menu_x0, menu_y1 - menu_y0);
    EXPECT_LT(menu.luminance(), 70.0) << "white menu text would not stand out";
    double brightest = 0;
    for (int y = menu_y0; y < menu_y1; y++)
        for (int x = menu_x0; x < menu_x1; x++)
            brightest = std::max(brightest, colour_at(screen_sized, x, y).luminance());
    EXPECT_LT(brightest, 140.0) << "something bright lies under the menu text";
    // The rest is a real picture, not a flat fill.
    const Colour top = mean_colour(screen_sized, 0, 0, 640, 200);
    EXPECT_GT(top.distance(menu) + mean_colour(screen_sized, 400, 300, 240, 180).distance(menu), 30.0);
    destroy_bitmap(screen_sized);
}

TEST_F(RealData, BackgroundsAreDarkEnoughForWhiteTextAndBlocks)
{
    BITMAP* game = asset_bitmap(Asset::game_background);
    BITMAP* screen_sized = create_bitmap(640, 480);
    stretch_blit(game, screen_sized, 0, 0, game->w, game->h, 0, 0, 640, 480);
    // Scores at (64,12) and ending at x=576; the clock centred at x=320, y=130.
    EXPECT_LT(mean_colour(screen_sized, 64, 12, 100, 24).luminance(), 100.0);
    EXPECT_LT(mean_colour(screen_sized, 476, 12, 100, 24).luminance(), 100.0);
    EXPECT_LT(mean_colour(screen_sized, 290, 130, 60, 25).luminance(), 140.0);
    destroy_bitmap(screen_sized);

    BITMAP* well = asset_bitmap(Asset::well_background);
    const Colour mean = mean_colour(well, 0, 0, well->w, well->h);
    EXPECT_LT(mean.luminance(), 60.0);
    const Colour red_block = mean_colour(asset_bitmap(Asset::tile_strip), cell, 0, cell, cell);
    EXPECT_GT(red_block.distance(mean), 80.0);
}

// ---- sounds

double seconds(const SAMPLE* s)
{
    return static_cast<double>(s->len) / s->freq;
}

// Distance of a sample value from silence, 0..1 (the library keeps 16-bit samples unsigned).
double level(const SAMPLE* s, unsigned long i)
{
    if (s->bits == 16)
        return std::abs(static_cast<const uint16_t*>(s->data)[i] - 0x8000) / 32768.0;
    return std::abs(static_cast<const uint8_t*>(s->data)[i] - 0x80) / 128.0;
}

TEST_F(RealData, SoundsAreShortMonoAndStartAndEndInSilence)
{
    struct Expect {
        Asset asset;
        double min_s, max_s;
    };
    const Expect sounds[] = {{Asset::title_sound, 0.3, 1.0},   {Asset::start_sound, 0.4, 1.0},
                             {Asset::match_sound, 0.05, 0.3},  {Asset::warning_sound, 0.3, 0.8},
                             {Asset::last_moment_sound, 0.4, 1.0}};
    for (const Expect& e : sounds) {
        const SAMPLE* s = asset_sample(e.asset);
        const int index = static_cast<int>(e.asset);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->stereo, 0) << "object " << index;
        EXPECT_GE(seconds(s), e.min_s) << "object " << index;
        EXPECT_LE(seconds(s), e.max_s) << "object " << index;
        // A jump from or to silence is heard as a click.
        EXPECT_LT(level(s, 0), 0.02) << "object " << index;
        EXPECT_LT(level(s, s->len - 1), 0.02) << "object " << index;
        double peak = 0;
        for (unsigned long i = 0; i < s->len; i++)
            peak = std::max(peak, level(s, i));
        EXPECT_GT(peak, 0.3) << "object " << index << " is too quiet";
        EXPECT_LT(peak, 0.99) << "object " << index << " clips";
    }
}

// ---- tunes

struct TuneFacts {
    double seconds = 0;
    std::map<int, int> notes_by_channel;
    int hanging_notes = 0; // started and never released
};

uint32_t read_varlen(const unsigned char*& p)
{
    uint32_t v = 0;
    unsigned char byte;
    do {
        byte = *p++;
        v = (v << 7) | (byte & 0x7F);
    } while (byte & 0x80);
    return v;
}

// Walks every track's events, as the library's player would, and sums up what it finds.
TuneFacts read_tune(const MIDI* midi)
{
    TuneFacts facts;
    double us_per_beat = 500000;
    uint32_t longest = 0;
    for (const auto& track : midi->track) {
        if (!track.data)
            continue;
        const unsigned char* p = track.data;
        const unsigned char* end = track.data + track.len;
        uint32_t tick = 0;
        unsigned char status = 0;
        std::map<int, int> held; // channel * 128 + key -> count
        while (p < end) {
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
                continue;
            }
            if (status == 0xF0 || status == 0xF7) {
                p += read_varlen(p);
                continue;
            }
            const int kind = status & 0xF0, channel = status & 0x0F;
            const int key = p[0], velocity = kind == 0xC0 || kind == 0xD0 ? 0 : p[1];
            p += (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (kind == 0x90 && velocity > 0) {
                facts.notes_by_channel[channel]++;
                held[channel * 128 + key]++;
            } else if (kind == 0x80 || (kind == 0x90 && velocity == 0)) {
                held[channel * 128 + key]--;
            }
        }
        longest = std::max(longest, tick);
        for (const auto& [note, count] : held)
            facts.hanging_notes += std::max(count, 0);
    }
    facts.seconds = longest * us_per_beat / 1e6 / midi->divisions;
    return facts;
}

TEST_F(RealData, TunesLoopCleanlyWithMelodyBassAndDrums)
{
    struct Expect {
        Asset asset;
        double min_s, max_s;
    };
    for (const Expect& e : {Expect{Asset::starfield_music, 20, 40}, Expect{Asset::game_music, 30, 60}}) {
        TuneFacts facts = read_tune(asset_midi(e.asset));
        const int index = static_cast<int>(e.asset);
        EXPECT_GE(facts.seconds, e.min_s) << "object " << index;
        EXPECT_LE(facts.seconds, e.max_s) << "object " << index;
        // A note never released keeps sounding across the loop.
        EXPECT_EQ(facts.hanging_notes, 0) << "object " << index;
        EXPECT_GT(facts.notes_by_channel[9], 20) << "object " << index << " has no drums";
        int melodic = 0;
        for (const auto& [channel, count] : facts.notes_by_channel)
            melodic += channel != 9 && count >= 8;
        EXPECT_GE(melodic, 2) << "object " << index << " needs a melody and a bass";
    }
}

} // namespace
