// Helpers for the screen tests: a 640x480 frame buffer with the players' wells attached,
// and pixel questions asked in the game's own coordinates.
#pragma once

#include <allegro.h>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "app/assets.h"
#include "app/clock.h"
#include "game/player.h"
#include "support/headless.h"

struct Rgb {
    int r, g, b;
};

// Releases every key; the headless library has no keyboard driver to do it.
inline void release_all_keys()
{
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
}

inline Rgb rgb_at(BITMAP* bmp, int x, int y)
{
    const int c = getpixel(bmp, x, y);
    return {getr(c), getg(c), getb(c)};
}

inline int distance(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

inline Rgb rgb_of(int color)
{
    return {getr(color), getg(color), getb(color)};
}

// A pixel that some tile was blended onto: moved off the well's background, towards the tile.
inline bool tinted_towards(BITMAP* bmp, int x, int y, Rgb background, int tile)
{
    const Rgb seen = rgb_at(bmp, x, y);
    const Rgb want = rgb_of(fake_tile_color(tile));
    return distance(seen, background) > 0 && distance(seen, want) < distance(background, want);
}

// Every test starts in the solid drawing mode with the fake datafile and, where asked,
// a game of `count` players whose wells sit in `frame` at the game's positions.
class ScreenTest : public testing::Test {
protected:
    BITMAP* frame = nullptr;

    void SetUp() override
    {
        install_fake_game_data();
        solid_mode();
        frame = create_bitmap(640, 480);
        clear_bitmap(frame);
        release_all_keys();
        tick_count = 0;
    }

    void TearDown() override
    {
        if (players)
            end_game();
        destroy_bitmap(frame);
        remove_fake_game_data();
        solid_mode();
        release_all_keys();
    }

    // A game with empty wells (rows 0-11), rise 0 and the cursor in its starting place.
    void start_empty_game(int count)
    {
        start_game(count);
        attach_well(0, frame, 64, 48);
        if (count == 2)
            attach_well(1, frame, 384, 48);
        for (int i = 0; i < count; i++) {
            for (int row = 0; row < well_rows; row++)
                for (Cell& cell : players[i].grid[row])
                    cell = Cell{0, CELL_IDLE, 0, 0, 0};
            players[i].rise = 0;
        }
    }

    Rgb well_background() const { return rgb_at(players[0].background, 100, 100); }
};
