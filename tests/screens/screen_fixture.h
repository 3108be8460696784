// Screen-test helpers: fake data, a 640x480 frame, pixel questions, and recorders for the
// sounds, retraces and screen images the screens ask for.
#pragma once

#include <algorithm>
#include <allegro.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "app/assets.h"
#include "app/clock.h"
#include "game/player.h"
#include "screens/output.h"
#include "support/headless.h"

struct Rgb {
    int r, g, b;
    int sum() const { return r + g + b; }
};
inline Rgb rgb_of(int color) { return {getr(color), getg(color), getb(color)}; }
inline Rgb rgb_at(BITMAP* bmp, int x, int y) { return rgb_of(getpixel(bmp, x, y)); }
inline int distance(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// What the screens played (with time_left at the call), waited for and made.
inline std::vector<std::pair<Asset, int32_t>> sounds;
inline int retraces = 0, live_images = 0, asked = 0, refuse_at = 0; // refuse_at: the n-th image asked for
inline void record_sound(Asset a) { sounds.emplace_back(a, time_left); }
inline void count_retrace() { retraces++; }
inline BITMAP* tracked_create(int w, int h)
{
    return ++asked == refuse_at ? nullptr : (live_images++, create_bitmap(w, h));
}
inline void tracked_destroy(BITMAP* image) { live_images -= image != nullptr, destroy_bitmap(image); }

class ScreenTest : public testing::Test {
protected:
    BITMAP* frame = nullptr;

    void SetUp() override
    {
        install_fake_game_data();
        solid_mode();
        frame = create_bitmap(640, 480);
        clear_bitmap(frame);
        std::fill_n(key, KEY_MAX, 0); // the headless library has no driver to release keys
        tick_count = 0;
        sounds.clear();
        retraces = live_images = asked = refuse_at = 0;
        create_screen_image = tracked_create;
        destroy_screen_image = tracked_destroy;
    }
    void TearDown() override
    {
        if (players)
            end_game();
        if (frame)
            destroy_bitmap(frame);
        remove_fake_game_data();
        solid_mode();
        std::fill_n(key, KEY_MAX, 0);
        create_screen_image = create_bitmap;
        destroy_screen_image = destroy_bitmap;
    }
};
