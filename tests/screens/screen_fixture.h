// Screen-test helpers: fake data, a ScreenIo of recorders, and pixel-exact comparisons with
// bitmaps or with the reference images kept beside the tests.
#pragma once

#include <allegro.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/screen_io.h"
#include "screens/game_view.h"
#include "support/headless.h"

using Sounds = std::vector<std::pair<Asset, int32_t>>;

// What the screens did through the fake ScreenIo, and the keys it hands them.
struct Recorded {
    Sounds sounds;                                 // but matches: with the watched game's time_left, or -1
    std::vector<int> retraces;                     // the display's pixel at (320, 301) at each wait
    int live_images = 0, asked = 0, refuse_at = 0; // refuse_at: the n-th image asked for
    std::vector<int> keys; // scancodes in the buffer: read_fresh_key then gives Escape, poll_key 0
    size_t keys_read = 0;
    int unseen_frames = 0; // frames a waiting key goes unnoticed
};
inline Recorded seen;
inline const GameState* watched = nullptr;
inline BITMAP* display = nullptr;

inline ScreenIo fake_io()
{
    return ScreenIo{
        display, [] { seen.retraces.push_back(getpixel(display, 320, 301)); },
        [](Asset a, int, int) {
            if (a != Asset::match_sound) // they come as the stacks rise, whenever
                seen.sounds.emplace_back(a, watched ? watched->time_left : -1);
        },
        [] { return (seen.keys_read < seen.keys.size() ? seen.keys[seen.keys_read++] : KEY_ESC) << 8; },
        [] { return seen.unseen_frames-- <= 0 && keypressed() != 0; },
        [](int w, int h) { return ++seen.asked == seen.refuse_at ? nullptr : (seen.live_images++, create_bitmap(w, h)); },
        [](BITMAP* b) { seen.live_images -= b != nullptr, destroy_bitmap(b); }, nullptr,
        [] { return seen.keys_read < seen.keys.size() ? seen.keys[seen.keys_read++] << 8 : 0; }};
}
inline void press(std::vector<int> scancodes) { seen.keys = std::move(scancodes), seen.keys_read = 0; }

// Same pixels over `want`'s size.
inline testing::AssertionResult same_pixels(BITMAP* got, BITMAP* want)
{
    int differ = 0;
    for (int y = 0; y < want->h; y++)
        for (int x = 0; x < want->w; x++)
            differ += getpixel(got, x, y) != getpixel(want, x, y);
    return testing::AssertionResult(differ == 0) << differ << " pixels differ";
}

// The part of `image` at x, y (all of it by default) against tests/screens/NAME.pcx: PCX keeps
// 16-bit pixels exactly and packs flat art small. BLOCKRISE_WRITE_REFERENCES=1 writes them
// instead; look at what changed before keeping it.
inline testing::AssertionResult matches_reference(const std::string& name, BITMAP* image, int x = 0, int y = 0,
                                                  int w = 0, int h = 0)
{
    const std::string path = SOURCE_DIR "/tests/screens/" + name + ".pcx";
    const Bitmap part(create_sub_bitmap(image, x, y, w ? w : image->w, h ? h : image->h));
    if (std::getenv("BLOCKRISE_WRITE_REFERENCES"))
        return testing::AssertionResult(save_bitmap(path.c_str(), part.get(), nullptr) == 0) << "writing " << path;
    const Bitmap want(load_bitmap(path.c_str(), nullptr));
    if (!want || want->w != part->w || want->h != part->h)
        return testing::AssertionFailure() << path << " is missing or not " << part->w << "x" << part->h;
    return same_pixels(part.get(), want.get()) << " from " << path;
}

// Fake data, solid drawing, no key held or waiting, tick 0, nothing recorded, a black display.
class ScreenTest : public testing::Test {
protected:
    const Bitmap screen_image{create_bitmap(640, 480)};

    void SetUp() override
    {
        install_fake_game_data(), solid_mode(), clear_keybuf(), clear_bitmap(screen_image.get());
        std::fill_n(key, KEY_MAX, 0); // the headless library has no driver to release keys
        tick_count = 0, seen = Recorded{}, watched = nullptr, display = screen_image.get();
    }
    // Later tests, fixture or not, start from the library's default drawing mode.
    void TearDown() override { remove_fake_game_data(), solid_mode(); }
};
