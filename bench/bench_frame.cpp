// Cost of composing one game frame and one starfield frame in 16-bit memory bitmaps.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "app/assets.h"
#include "app/clock.h"
#include "game/player.h"
#include "game/popups.h"
#include "screens/hud.h"
#include "screens/layout.h"
#include "screens/panel.h"
#include "screens/popup_view.h"
#include "screens/starfield.h"
#include "screens/well_view.h"

namespace {

constexpr int busy_popups = 12;

// Full wells with blocks in every state the drawing cares about, and a clear in progress.
void make_wells_busy()
{
    for (int p = 0; p < player_count; p++) {
        Player& player = players[p];
        for (int row = 2; row < well_rows; row++)
            for (int col = 0; col < well_cols; col++)
                player.grid[row][col] =
                    Cell{static_cast<int8_t>((col + 2 * row) % color_count + 1), CELL_IDLE, 0, 0, 0};
        player.grid[4][1].state = CELL_SWAPPING;
        player.grid[4][1].slide_offset = 16;
        player.grid[4][2].state = CELL_SWAPPING;
        player.grid[4][2].slide_offset = -16;
        player.grid[2][5].state = CELL_FALLING;
        player.grid[2][5].fall_offset = 16;
        ActionGroup* clear = push_group(player.groups, GROUP_CLEAR);
        for (int col = 0; col < 3; col++) {
            player.grid[9][col].state = CELL_CLEARING;
            push_group_cell(clear, 9, static_cast<int8_t>(col));
        }
        clear->timer = 60;
        player.rise = 17;
        player.score = 123456;
    }
}

void BM_GameFrame(benchmark::State& state)
{
    solid_mode();
    BITMAP* frame_buffer = create_bitmap(screen_width, screen_height);
    BITMAP* game_background = create_bitmap(screen_width, screen_height);
    BITMAP* picture = asset_bitmap(Asset::game_background);
    stretch_blit(picture, game_background, 0, 0, picture->w, picture->h, 0, 0, screen_width,
                 screen_height);
    make_popup_images();
    start_game(2);
    attach_well(0, frame_buffer, left_well_x, well_top);
    attach_well(1, frame_buffer, right_well_x, well_top);
    for (int16_t x : {left_well_x, right_well_x})
        draw_panel(game_background, static_cast<int16_t>(x - panel_border),
                   static_cast<int16_t>(well_top - panel_border), well_panel_width,
                   well_panel_height);
    blit(game_background, frame_buffer, 0, 0, 0, 0, screen_width, screen_height);
    make_wells_busy();
    for (int i = 0; i < busy_popups; i++)
        spawn_popup(static_cast<int8_t>(i + 1), static_cast<int16_t>(100 + 20 * i),
                    static_cast<int16_t>(i % 2 ? 400 : 80));
    time_left = 4321;

    for (auto _ : state) {
        draw_wells();
        draw_hud(frame_buffer, game_background);
        draw_popups(frame_buffer);
        benchmark::ClobberMemory();
    }

    clear_popups();
    end_game();
    for (BITMAP*& image : popup_images) {
        destroy_bitmap(image);
        image = nullptr;
    }
    destroy_bitmap(game_background);
    destroy_bitmap(frame_buffer);
    solid_mode();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// Argument 0: the opening screen (solid stars); 1: the farewell (stars blended at 128).
void BM_StarfieldFrame(benchmark::State& state)
{
    if (state.range(0)) {
        set_trans_blender(0, 0, 0, 128);
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    } else {
        solid_mode();
    }
    BITMAP* frame = create_bitmap(screen_width, screen_height);
    BITMAP* stand_in_screen = create_bitmap(screen_width, screen_height);
    // A logo like the real one: a painted band across a mask-coloured sheet.
    BITMAP* logo = create_bitmap(screen_width, screen_height);
    clear_to_color(logo, bitmap_mask_color(logo));
    rectfill(logo, 40, 160, 600, 320, makecol(200, 180, 40));
    std::srand(1);
    Star stars[star_count];
    for (Star& star : stars)
        start_star(star, first_brightness);

    for (auto _ : state) {
        draw_starfield_frame(frame, stars, logo);
        blit(frame, stand_in_screen, 0, 0, 0, 0, screen_width, screen_height);
        benchmark::ClobberMemory();
    }

    destroy_bitmap(logo);
    destroy_bitmap(stand_in_screen);
    destroy_bitmap(frame);
    solid_mode();
}
BENCHMARK(BM_StarfieldFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
