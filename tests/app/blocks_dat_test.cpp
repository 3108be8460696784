// The generated "blocks.dat": each object looks, reads and sounds as the game needs. What each
// must measure up to is a table, blocks_dat_looks.txt; here is only how each measure is taken.
#include <gtest/gtest.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/assets.h"

namespace {

using Measures = std::map<std::string, double>;

struct Colour { double r = 0, g = 0, b = 0; };

Colour colour_at(BITMAP* bmp, int x, int y)
{
    const int depth = bitmap_color_depth(bmp), c = getpixel(bmp, x, y);
    return {double(getr_depth(depth, c)), double(getg_depth(depth, c)), double(getb_depth(depth, c))};
}

double luminance(Colour c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }
bool light(Colour c) { return std::min({c.r, c.g, c.b}) > 200; }

// An object of the catalogue and, for a picture, an area of it.
struct Area {
    int object, x, y, w, h;
    BITMAP* bmp() const { return static_cast<BITMAP*>(game_data[object].dat); }
};

// Over area `a` (its mean colour leaves out the mask colour's pixels), and its pixels against
// those of `b`; `b`'s own mean colour for "distance" when `compare`.
Measures picture(const Area& a, const Area& b, bool compare = true)
{
    Colour sum;
    double masked = 0, lights = 0, brightest = 0, differ = 0, symbols = 0;
    for (int y = 0; y < a.h; y++)
        for (int x = 0; x < a.w; x++) {
            const Colour ca = colour_at(a.bmp(), a.x + x, a.y + y), cb = colour_at(b.bmp(), b.x + x, b.y + y);
            const bool mask = getpixel(a.bmp(), a.x + x, a.y + y) == bitmap_mask_color(a.bmp());
            masked += mask;
            sum = mask ? sum : Colour{sum.r + ca.r, sum.g + ca.g, sum.b + ca.b};
            lights += light(ca);
            brightest = std::max(brightest, luminance(ca));
            differ += getpixel(a.bmp(), a.x + x, a.y + y) != getpixel(b.bmp(), b.x + x, b.y + y);
            symbols += light(ca) != light(cb);
        }
    const double n = std::max(a.w * a.h - masked, 1.0);
    const Colour mean{sum.r / n, sum.g / n, sum.b / n};
    Measures m{{"luminance", luminance(mean)}, {"r", mean.r}, {"g", mean.g}, {"b", mean.b}, {"mask", masked},
               {"light", lights}, {"brightest", brightest}, {"differ", differ}, {"symbols", symbols},
               {"width", a.bmp()->w}, {"height", a.bmp()->h}};
    if (compare) {
        const Measures other = picture(b, b, false);
        m["distance"] = std::hypot(mean.r - other.at("r"), mean.g - other.at("g"), mean.b - other.at("b"));
    }
    return m;
}

int ink(FONT* f, const char* text)
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

Measures font(FONT* f, FONT* other)
{
    Measures m{{"height", text_height(f)}, {"mono", is_mono_font(f)}, {"inkier", 1e9}};
    for (char ch = ' '; ch <= '~'; ch++) {
        const char text[2] = {ch, 0};
        m["blank"] += (ink(f, text) > 0) == (ch == ' ');
        m["digits"] += std::isdigit(ch) && text_length(f, text) != text_length(f, "0");
    }
    for (const char* word : {"WIN!", "LOSE", "TIE!", "HIGH SCORES", "New High Score!"})
        m["inkier"] = std::min(m["inkier"], double(ink(f, word) - ink(other, word)));
    return m;
}

Measures sound(const SAMPLE* s)
{
    // Distance from silence, 0..1 (the library keeps 16-bit samples unsigned).
    const auto level = [s](unsigned long i) {
        return s->bits == 16 ? std::abs(static_cast<const uint16_t*>(s->data)[i] - 0x8000) / 32768.0
                             : std::abs(static_cast<const uint8_t*>(s->data)[i] - 0x80) / 128.0;
    };
    Measures m{{"seconds", double(s->len) / s->freq}, {"stereo", s->stereo}, {"edge", std::max(level(0), level(s->len - 1))}};
    for (unsigned long i = 0; i < s->len; i++)
        m["peak"] = std::max(m["peak"], level(i));
    return m;
}

// Every track's events, walked as the library's player walks them.
Measures tune(const MIDI* midi)
{
    const auto number = [](const unsigned char*& p) { uint32_t v = 0; do v = (v << 7) | (*p & 0x7F); while (*p++ & 0x80); return v; };
    double us_per_beat = 500000, longest = 0;
    std::map<int, int> notes, held; // by channel; by channel * 128 + key, started less released
    for (const auto& track : midi->track) {
        double tick = 0;
        unsigned char status = 0;
        for (const unsigned char* p = track.data; p && p < track.data + track.len;) {
            tick += number(p);
            status = *p & 0x80 ? *p++ : status;
            if (status == 0xFF && *p == 0x2F)
                break;
            if (status >= 0xF0) { // a meta event (after its type) or a system exclusive one: its length, then data
                us_per_beat = status == 0xFF && p[0] == 0x51 && p[1] == 3 ? (p[2] << 16) | (p[3] << 8) | p[4] : us_per_beat;
                p += status == 0xFF;
                const uint32_t length = number(p);
                p += length;
                continue;
            }
            const int kind = status & 0xF0, channel = status & 0x0F, key = channel * 128 + p[0];
            notes[channel] += kind == 0x90 && p[1] > 0;
            held[key] += kind == 0x90 && p[1] > 0 ? 1 : kind == 0x90 || kind == 0x80 ? -1 : 0;
            p += kind == 0xC0 || kind == 0xD0 ? 1 : 2;
        }
        longest = std::max(longest, tick);
    }
    Measures m{{"seconds", longest * us_per_beat / 1e6 / midi->divisions}, {"drums", notes[9]}};
    for (const auto& [channel, count] : notes)
        m["voices"] += channel != 9 && count >= 8;
    for (const auto& [key, count] : held)
        m["hanging"] += count > 0;
    return m;
}

// "object", "picture:x,y,w,h", or "picture:x,y,w,h,n,step" for n areas step pixels apart.
std::vector<Area> areas(const std::string& where)
{
    const char* names[asset_count] = {"logo", "tile_strip", "well_background", "game_background", "cursor_a",
                                      "cursor_b", "popup_strip", "title_picture", "normal_font", "large_font",
                                      "starfield_music", "game_music", "title_sound", "start_sound",
                                      "match_sound", "warning_sound", "last_moment_sound"};
    const int object = int(std::find(names, names + asset_count, where.substr(0, where.find(':'))) - names);
    std::vector<Area> list;
    if (object == asset_count)
        return ADD_FAILURE() << "no object " << where, list;
    const BITMAP* bmp = game_data[object].type == DAT_BITMAP ? static_cast<BITMAP*>(game_data[object].dat) : nullptr;
    int x = 0, y = 0, w = bmp ? bmp->w : 0, h = bmp ? bmp->h : 0, n = 1, step = 0;
    std::sscanf(where.c_str() + std::min(where.find(':'), where.size()), ":%d,%d,%d,%d,%d,%d", &x, &y, &w, &h, &n, &step);
    for (int i = 0; i < n; i++)
        list.push_back({object, x + i * (step ? step : w), y, w, h});
    return list;
}

struct RealData : testing::Test {
    void SetUp() override { const char* why = load_game_data(BLOCKS_DAT_PATH); ASSERT_EQ(why, nullptr) << why; }
    void TearDown() override { if (game_data) unload_datafile(game_data); game_data = nullptr; }
};

TEST_F(RealData, EveryObjectMeasuresUpToWhatTheGameNeeds)
{
    std::ifstream table(SOURCE_DIR "/tests/app/blocks_dat_looks.txt");
    int checked = 0;
    for (std::string line, what, low, high, first, second; std::getline(table, line); second.clear()) {
        std::istringstream fields(line);
        if (!(fields >> what >> low >> high >> first) || what[0] == '#')
            continue;
        // A comparison is of an area with the next one's counterpart, or of every pair of one list.
        const bool within = !(fields >> second) && (what == "distance" || what == "differ" || what == "symbols");
        const std::vector<Area> as = areas(first), bs = areas(second.empty() ? first : second);
        for (size_t i = 0; i < as.size(); i++)
            for (size_t j = within ? i + 1 : i; j < (within ? bs.size() : std::min(i + 1, bs.size())); j++, checked++) {
                const int type = game_data[as[i].object].type;
                const double value = (type == DAT_BITMAP ? picture(as[i], bs[j])
                                      : type == DAT_FONT ? font(asset_font(Asset(as[i].object)), asset_font(Asset(bs[j].object)))
                                      : type == DAT_SAMPLE ? sound(asset_sample(Asset(as[i].object)))
                                                           : tune(asset_midi(Asset(as[i].object)))).at(what);
                EXPECT_TRUE((low == "-" || value >= std::stod(low)) && (high == "-" || value <= std::stod(high)))
                    << line << "\n  is " << value << " at x = " << as[i].x << ", against x = " << bs[j].x;
            }
    }
    EXPECT_GT(checked, 150);
}

} // namespace
