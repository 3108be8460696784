// Cost of composing one game frame and one starfield frame, each also as a multiple of one
// full-screen 640x480 16-bit blit timed in the same run.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>

#include "app/assets.h"
#include "app/colors.h"
#include "screens/game_view.h"
#include "screens/starfield.h"

namespace {

constexpr int timed_repeats = 300;

template <typename Step>
double microseconds_per(Step step)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < timed_repeats; i++)
        step();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / timed_repeats;
}

double full_screen_blit_us(BITMAP* from, BITMAP* to)
{
    return microseconds_per([&] { blit(from, to, 0, 0, 0, 0, screen_width, screen_height); });
}

// Full wells with blocks in every state the drawing cares about, a clear in progress, and a
// popup rising in each well.
void make_wells_busy(GameState& game)
{
    start_game(game, 2, 1);
    for (int p = 0; p < 2; p++) {
        Player& player = game.players[p];
        for (int row = 2; row < well_rows; row++)
            for (int col = 0; col < well_cols; col++)
                player.grid[row][col] = Cell{static_cast<int8_t>((col + 2 * row) % color_count + 1), CELL_IDLE, 0, 0, 0};
        player.grid[4][1] = Cell{1, CELL_SWAPPING, 0, 16, 0};
        player.grid[4][2] = Cell{2, CELL_SWAPPING, 0, -16, 0};
        player.grid[2][5] = Cell{3, CELL_FALLING, 16, 0, 0};
        ActionGroup* clear = push_group(player, GROUP_CLEAR);
        for (int8_t col = 0; col < 3; col++) {
            player.grid[9][col].state = CELL_CLEARING;
            push_group_cell(player, *clear, 9, col);
        }
        clear->timer = 60;
        player.rise = 17;
        player.score = 123456;
        for (int8_t chain = 1; chain <= 6; chain++)
            spawn_popup(game.popups, chain, static_cast<uint8_t>(p), static_cast<int8_t>(3 + chain), 2);
    }
    game.time_left = 4321;
}

void BM_GameFrame(benchmark::State& state)
{
    solid_mode();
    const Bitmap frame_buffer(create_bitmap(screen_width, screen_height));
    const Bitmap game_background(create_bitmap(screen_width, screen_height));
    const Bitmap stand_in_screen(create_bitmap(screen_width, screen_height));
    BITMAP* picture = asset_bitmap(Asset::game_background);
    stretch_blit(picture, game_background.get(), 0, 0, picture->w, picture->h, 0, 0, screen_width, screen_height);
    PopupImages popups;
    make_popup_images(popups);
    GameView view;
    make_game_view(view, 2, frame_buffer.get(), game_background.get(), popups);
    for (const WellView& well : view.wells)
        draw_panel(game_background.get(), static_cast<int16_t>(well.x - panel_border),
                   static_cast<int16_t>(well.y - panel_border), well_panel_width, well_panel_height);
    blit(game_background.get(), frame_buffer.get(), 0, 0, 0, 0, screen_width, screen_height);
    GameState game;
    make_wells_busy(game);

    for (auto _ : state) {
        draw_game(view, game, 0);
        benchmark::ClobberMemory();
    }
    const double blit_us = full_screen_blit_us(frame_buffer.get(), stand_in_screen.get());
    const double frame_us = microseconds_per([&] { draw_game(view, game, 0); });
    state.counters["blit_us"] = blit_us;
    state.counters["frame_in_blits"] = frame_us / blit_us;
    solid_mode();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

// Argument 0: the opening screen (solid stars); 1: the farewell (stars blended at 128).
// The frame includes its copy to the screen.
void BM_StarfieldFrame(benchmark::State& state)
{
    if (state.range(0)) {
        set_trans_blender(0, 0, 0, 128);
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    } else {
        solid_mode();
    }
    const Bitmap frame(create_bitmap(screen_width, screen_height));
    const Bitmap stand_in_screen(create_bitmap(screen_width, screen_height));
    BITMAP* logo = asset_bitmap(Asset::logo);
    RLE_SPRITE* logo_runs = get_rle_sprite(logo);
    std::srand(1);
    Star stars[star_count];
    for (Star& star : stars)
        start_star(star, first_brightness);
    const auto one_frame = [&] {
        draw_starfield_frame(frame.get(), stars, logo, logo_runs);
        blit(frame.get(), stand_in_screen.get(), 0, 0, 0, 0, screen_width, screen_height);
    };
    for (auto _ : state) {
        one_frame();
        benchmark::ClobberMemory();
    }
    const double blit_us = full_screen_blit_us(frame.get(), stand_in_screen.get());
    state.counters["frame_in_blits"] = microseconds_per(one_frame) / blit_us;
    destroy_rle_sprite(logo_runs);
    solid_mode();
}
BENCHMARK(BM_StarfieldFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
