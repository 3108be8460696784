// One game from the chosen player count to the high-score screens: the fixed-step loop
// that catches up tick by tick and draws after each batch.
#include "screens/game_loop.h"

#include "app/clock.h"
#include "game/player.h"
#include "game/popups.h"
#include "game/update.h"
#include "scores/score_screens.h"
#include "screens/game_over.h"
#include "screens/hud.h"
#include "screens/layout.h"
#include "screens/modifier_echo.h"
#include "screens/panel.h"
#include "screens/popup_view.h"
#include "screens/well_view.h"

namespace {

constexpr int16_t well_left_edge[max_players] = {left_well_x, right_well_x};

void simulate_tick(GameRun& run)
{
    if (update_players())
        time_left = 0;
    update_popups();
    run.last++;
    if (time_left != 0)
        time_left--;
    if (time_left == warning_ticks)
        run.output.play_sound(Asset::warning_sound);
    else if (time_left == last_moment_ticks)
        run.output.play_sound(Asset::last_moment_sound);
}

void show_frame(const GameRun& run)
{
    blit(run.frame_buffer, run.output.display, 0, 0, 0, 0, screen_width, screen_height);
}

void draw_frame(const GameRun& run)
{
    draw_wells();
    draw_hud(run.frame_buffer, run.game_background);
    draw_popups(run.frame_buffer);
    if (key[KEY_V])
        run.output.wait_for_retrace();
    show_frame(run);
}

} // namespace

GameRun begin_game(int count, BITMAP* frame_buffer, BITMAP* game_background,
                   const Output& output)
{
    start_game(count);
    for (int i = 0; i < count && i < max_players; i++) {
        attach_well(i, frame_buffer, well_left_edge[i], well_top);
        draw_panel(game_background, well_left_edge[i] - panel_border, well_top - panel_border,
                   well_panel_width, well_panel_height);
    }
    blit(game_background, frame_buffer, 0, 0, 0, 0, screen_width, screen_height);
    play_midi(asset_midi(Asset::game_music), TRUE);
    output.play_sound(Asset::start_sound);
    time_left = game_ticks;
    GameRun run{tick_count.load(), frame_buffer, game_background, output};
    clear_keybuf();
    reset_modifier_echo();
    return run;
}

// Compares by inequality, not order, so a game survives tick_count wrapping at 2^32.
void game_pass(GameRun& run)
{
    hide_modifier_echo(key, tick_count.load());
    bool ticked = false;
    while (run.last != tick_count.load()) {
        simulate_tick(run);
        ticked = true;
    }
    if (ticked || key[KEY_B])
        draw_frame(run);
}

bool game_goes_on()
{
    return !key[KEY_ESC] && time_left != 0;
}

void release_game(GameRun& run, BITMAP* title_image)
{
    end_game();
    destroy_screen_image(run.game_background);
    destroy_screen_image(run.frame_buffer);
    destroy_screen_image(title_image);
    run.game_background = nullptr;
    run.frame_buffer = nullptr;
    clear_popups();
}

void play_game(int count, BITMAP* frame_buffer, BITMAP* game_background, BITMAP* title_image)
{
    play_game_on(screen_output(), count, frame_buffer, game_background, title_image);
}

void play_game_on(const Output& output, int count, BITMAP* frame_buffer,
                  BITMAP* game_background, BITMAP* title_image)
{
    GameRun run = begin_game(count, frame_buffer, game_background, output);
    while (game_goes_on())
        game_pass(run);

    stop_midi();
    draw_game_over();
    show_frame(run);
    // Keys pressed in the pause are dropped: the score screens empty the buffer first.
    rest(game_over_pause_ms);
    // The screen's own output makes these the plain enter_high_scores and show_high_scores.
    const KeySource keys{output.wait_for_retrace, output.read_fresh_key};
    enter_high_scores_on(output.display, keys);
    show_high_scores_on(output.display, keys);
    release_game(run, title_image);
}
