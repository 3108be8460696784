// Helpers for the screen tests: the fake datafile, a 640x480 frame buffer with the wells
// attached, and pixel questions asked in the game's own coordinates.
#pragma once

#include <allegro.h>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/assets.h"
#include "app/clock.h"
#include "game/player.h"
#include "support/headless.h"

struct Rgb {
    int r, g, b;
    int sum() const { return r + g + b; }
};

inline Rgb rgb_of(int color) { return {getr(color), getg(color), getb(color)}; }
inline Rgb rgb_at(BITMAP* bmp, int x, int y) { return rgb_of(getpixel(bmp, x, y)); }
inline int distance(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// The headless library has no keyboard driver to release keys.
inline void release_all_keys()
{
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
}

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
        if (frame)
            destroy_bitmap(frame);
        remove_fake_game_data();
        solid_mode();
        release_all_keys();
    }

    // A game whose wells (rows 0-11) are empty, at rise 0, wells at the game's places.
    void start_empty_game(int count)
    {
        start_game(count);
        for (int i = 0; i < count; i++) {
            attach_well(i, frame, i == 0 ? 64 : 384, 48);
            for (int row = 0; row < well_rows; row++)
                for (Cell& cell : players[i].grid[row])
                    cell = Cell{0, CELL_IDLE, 0, 0, 0};
            players[i].rise = 0;
        }
    }

    // A pixel that a tile was blended onto: off the well's background, towards the tile.
    bool tinted(BITMAP* bmp, int x, int y, int tile)
    {
        const Rgb bg = rgb_at(players[0].background, 100, 100);
        const Rgb seen = rgb_at(bmp, x, y), want = rgb_of(fake_tile_color(tile));
        return distance(seen, bg) > 0 && distance(seen, want) < distance(bg, want);
    }
};
