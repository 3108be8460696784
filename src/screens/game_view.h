// Drawing a game: the wells with their blocks, fading clears, rising preview rows and
// blinking cursors; the scores and the clock; the popups; the panels; the game-over overlay.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <memory>

#include "game/game.h"
#include "screens/layout.h"

struct BitmapDeleter {
    void operator()(BITMAP* bitmap) const { destroy_bitmap(bitmap); }
};
using Bitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

constexpr int popup_image_count = 12;
constexpr int tile_count = color_count + 1; // tile n shows colour n; tile 0 is never drawn

// The twelve popup pictures, cut once at start-up; one that cannot be made is not drawn.
struct PopupImages {
    Bitmap images[popup_image_count];
};
void make_popup_images(PopupImages& popups);
// The picture of a chain: the first match after a rise shows picture 0, the twelfth
// picture 11, and every later one picture 1 again.
int popup_image_index(int8_t chain);

struct WellView {
    Bitmap background; // 192x384: player 1's is player 2's mirrored, where that has no mask colour
    Bitmap view;       // the well's place in the frame buffer, a sub-bitmap of it
    int16_t x, y;
};

// The images a game draws with. Owns the tiles, the wells' backgrounds and views (so it must
// go before the frame buffer); the rest belongs to the caller.
struct GameView {
    BITMAP* frame_buffer;
    BITMAP* game_background;   // the frame buffer is filled and patched from this
    const PopupImages* popups;
    BITMAP* cursor_images[2];  // the datafile's two cursor frames
    Bitmap tiles[tile_count];
    WellView wells[max_players];
    int well_count;
};

// Cuts the tiles, stretches the wells' backgrounds and places the wells in the frame
// buffer: player 1's at x 64, player 2's at x 384. False if an image cannot be made.
bool make_game_view(GameView& view, int count, BITMAP* frame_buffer, BITMAP* game_background,
                    const PopupImages& popups);

// The frame of a game: every well, the last player's first, then the scores and clock, then
// the popups. `clock` is the tick that picks the cursor's frame.
void draw_game(const GameView& view, const GameState& game, uint32_t clock);
void draw_well(const GameView& view, const WellView& well, const Player& player, uint32_t clock);
void draw_hud(const GameView& view, const GameState& game);
void draw_popups(const GameView& view, const GameState& game);

// The overlay that ends a game: every well darkened, and in a two-player game "WIN!" and
// "LOSE", or "TIE!" in both. Draws into the wells only. Leaves the library translucent at
// level 192: later screens inherit that.
void draw_game_over(const GameView& view, const GameState& game);

// Darkens x..x+w-1, y..y+h-1 by half inside a 4-pixel frame (black, white, white, black from
// the inside out, all half-transparent). Leaves the library translucent at level 128: later
// primitives blend, which the game relies on.
void draw_panel(BITMAP* bitmap, int16_t x, int16_t y, int16_t w, int16_t h);

// The clock's text for `ticks` left: "m:ss" (7200 reads "2:00", 3599 "0:59").
constexpr int clock_text_size = 24;
void format_clock(int32_t ticks, char (&text)[clock_text_size]);
