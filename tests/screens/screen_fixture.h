// Screen-test helpers: fake data, a ScreenIo of recorders, and pixel-exact comparisons.
#pragma once

#include <algorithm>
#include <allegro.h>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "app/clock.h"
#include "app/screen_io.h"
#include "game/game.h"
#include "screens/game_view.h"
#include "support/headless.h"

using Sounds = std::vector<std::pair<Asset, int32_t>>;

// What the screens did through the fake ScreenIo, and the keys it hands them.
struct Recorded {
    Sounds sounds;                                 // with the watched game's time_left, or -1
    std::vector<int> retraces;                     // the display's pixel at (320, 301) at each wait
    int live_images = 0, asked = 0, refuse_at = 0; // refuse_at: the n-th image asked for
    std::vector<int> keys, key_probes;             // scancodes, then Escape; key_probe() at each read
    size_t keys_read = 0;
    std::vector<int> pending_keys; // scancodes in the key buffer, for screens that only poll it
};
inline Recorded seen;
inline const GameState* watched = nullptr;
inline BITMAP* display = nullptr;
inline int (*key_probe)() = nullptr;

inline ScreenIo fake_io()
{
    return ScreenIo{
        display, [] { seen.retraces.push_back(getpixel(display, 320, 301)); },
        [](Asset a, int, int) { seen.sounds.emplace_back(a, watched ? watched->time_left : -1); },
        [] {
            if (key_probe)
                seen.key_probes.push_back(key_probe());
            return (seen.keys_read < seen.keys.size() ? seen.keys[seen.keys_read++] : KEY_ESC) << 8;
        },
        [] { return keypressed() != 0; },
        [](int w, int h) {
            return ++seen.asked == seen.refuse_at ? nullptr : (seen.live_images++, create_bitmap(w, h));
        },
        [](BITMAP* b) { seen.live_images -= b != nullptr, destroy_bitmap(b); }, nullptr,
        [] {
            if (seen.pending_keys.empty())
                return 0;
            const int next = seen.pending_keys.front() << 8;
            seen.pending_keys.erase(seen.pending_keys.begin());
            return next;
        }};
}

inline Bitmap filled(int w, int h, int color)
{
    Bitmap b(create_bitmap(w, h));
    clear_to_color(b.get(), color);
    return b;
}

inline Bitmap copy_of(BITMAP* b)
{
    Bitmap c(create_bitmap(b->w, b->h));
    blit(b, c.get(), 0, 0, 0, 0, b->w, b->h);
    return c;
}

// Same pixels over `want`'s size; otherwise how many differ and where the first is.
inline testing::AssertionResult same_pixels(BITMAP* got, BITMAP* want)
{
    int differ = 0, fx = 0, fy = 0;
    for (int y = 0; y < want->h; y++)
        for (int x = 0; x < want->w; x++)
            if (getpixel(got, x, y) != getpixel(want, x, y) && !differ++)
                fx = x, fy = y;
    if (!differ)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << differ << " pixels differ, first at " << fx << "," << fy << ": "
                                       << getpixel(got, fx, fy) << " instead of " << getpixel(want, fx, fy);
}

// Fake data, solid drawing, no key held or waiting, tick 0, nothing recorded, a black display.
class ScreenTest : public testing::Test {
protected:
    Bitmap screen_image = filled(640, 480, 0);

    void SetUp() override
    {
        install_fake_game_data();
        solid_mode();
        std::fill_n(key, KEY_MAX, 0); // the headless library has no driver to release keys
        clear_keybuf();
        tick_count = 0;
        seen = Recorded{};
        watched = nullptr;
        display = screen_image.get();
        key_probe = nullptr;
    }
    void TearDown() override
    {
        remove_fake_game_data();
        solid_mode(); // later tests, fixture or not, start from the library's default
    }
};
