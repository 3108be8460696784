// One game: the fixed-step loop that catches up tick by tick and draws after each batch.
#include "screens/game_loop.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "app/assets.h"
#include "app/clock.h"
#include "app/quit.h"
#include "app/shadow_text.h"
#include "app/colors.h"

namespace {

constexpr int pause_slice_ms = 10;
constexpr int scancode_shift = 8; // readkey: scancode above, character below
constexpr int idle_rest_ms = 1;

void play_events(const ScreenIo& io, const TickEvents& events)
{
    for (int i = 0; i < events.count; i++) {
        const GameEvent& event = events.list[i];
        switch (event.kind) {
        case EventKind::match: io.play_sound(Asset::match_sound, event.player * match_pan_step, match_pitch); break;
        case EventKind::warning: io.play_sound(Asset::warning_sound, centre_pan, recorded_pitch); break;
        case EventKind::last_moment: io.play_sound(Asset::last_moment_sound, centre_pan, recorded_pitch); break;
        case EventKind::top_out: break; // the clock stops, and with it the game
        }
    }
}

bool playback_over(const GameRun& run)
{
    return run.playback && run.game.ticks >= run.playback->end_tick;
}

void simulate_tick(GameRun& run)
{
    TickInputs inputs;
    const int32_t tick = run.game.ticks + 1;
    if (run.playback) {
        std::copy(std::begin(run.held), std::end(run.held), std::begin(inputs));
        replay_inputs(*run.playback, tick, run.next_change, inputs);
    } else {
        read_inputs(run.input, run.game.player_count, run.last + 1, inputs);
    }
    record_inputs(run.recording, tick, run.held, inputs);
    std::copy(std::begin(inputs), std::end(inputs), std::begin(run.held));
    const TickEvents events = update_game(run.game, inputs);
    run.last++;
    play_events(run.io, events);
}

void show_frame(const GameRun& run)
{
    blit(run.view.frame_buffer, run.io.display, 0, 0, 0, 0, screen_width, screen_height);
    show(run.io);
}

// A pause holds the cursor's blinking with the game, so the game's ticks count, not the clock's.
uint32_t blink_clock(const GameRun& run)
{
    return run.clock_base + static_cast<uint32_t>(run.game.ticks);
}

void draw_frame(const GameRun& run)
{
    draw_game(run.view, run.game, blink_clock(run));
    if (run.feed)
        run.feed->decorate(run.view.frame_buffer);
    if (key[KEY_V])
        run.io.wait_for_retrace();
    show_frame(run);
}

// A press of P or Pause since the last pass, or a new press of a pad's pause button. The keys
// are taken from the key buffer, so a tap shorter than a pass still counts; nothing else in a
// game reads the buffer, and the screens after it empty it first.
bool pause_pressed(GameRun& run)
{
    bool pressed = false;
    while (const int waiting = run.io.poll_key ? run.io.poll_key() : 0) {
        const int scancode = waiting >> scancode_shift;
        pressed = pressed || scancode == KEY_P || scancode == KEY_PAUSE;
    }
    const bool pad = pad_pause_held(run.input.controls, run.game.player_count);
    pressed = pressed || (pad && !run.pad_pause_was);
    run.pad_pause_was = pad;
    return pressed;
}

// The wells are covered, so a paused game cannot be studied at leisure.
void draw_paused(const GameRun& run)
{
    FONT* big = asset_font(Asset::large_font);
    for (int i = 0; i < run.view.well_count; i++) {
        const WellView& well = run.view.wells[i];
        blit(well.background.get(), well.view.get(), 0, 0, 0, 0, well_width, well_height);
        draw_shadow_text(well.view.get(), big, well_centre_x, static_cast<int16_t>(well_centre_y - text_height(big) / 2),
                         color_white, paused_text);
    }
    show_frame(run);
}

void toggle_pause(GameRun& run)
{
    run.paused = !run.paused;
    if (run.paused) {
        midi_pause();
        draw_paused(run);
    } else {
        midi_resume();
        run.last = tick_count.load(); // the ticks of the pause are not made up
    }
}

// A fed game runs the local player's ticks as the clock gives them and the network between.
void feed_pass(GameRun& run)
{
    if (key[KEY_ESC] || quit_requested())
        run.feed->leave();
    bool ticked = false;
    while (run.last != tick_count.load() && !run.feed->over()) {
        TickInputs inputs;
        read_inputs(run.input, 1, run.last + 1, inputs);
        play_events(run.io, run.feed->tick(inputs[0]));
        run.last++;
        ticked = true;
    }
    run.feed->service();
    if (ticked || key[KEY_B]) {
        run.game = run.feed->state(); // only what is drawn needs the copy
        draw_frame(run);
    } else if (run.low_power)
        rest(idle_rest_ms);
}

} // namespace

bool begin_game(GameRun& run, const ScreenIo& io, const GamePlan& plan, BITMAP* frame_buffer,
                BITMAP* game_background, const PopupImages& popups)
{
    run.io = io;
    run.low_power = plan.low_power;
    run.paused = false;
    run.feed = plan.feed;
    if (plan.feed)
        run.game = plan.feed->state();
    else
        start_game(run.game, plan.players, plan.seed);
    if (!make_game_view(run.view, run.game.player_count, frame_buffer, game_background, popups))
        return false;
    for (int i = 0; i < run.view.well_count; i++)
        draw_panel(game_background, static_cast<int16_t>(run.view.wells[i].x - panel_border),
                   static_cast<int16_t>(run.view.wells[i].y - panel_border), well_panel_width, well_panel_height);
    blit(game_background, frame_buffer, 0, 0, 0, 0, screen_width, screen_height);
    play_midi(asset_midi(Asset::game_music), TRUE);
    io.play_sound(Asset::start_sound, centre_pan, recorded_pitch);
    run.last = tick_count.load() - (plan.feed ? plan.feed->head_start() : 0);
    // A recording replays with the cursor blinking as it did, so its last frame is the same;
    // a fed game's cursors blink on the game's ticks, so both machines end on the same frame.
    run.clock_base = plan.playback ? plan.playback->clock_phase : plan.feed ? 0 : run.last;
    run.playback = plan.playback;
    run.next_change = 0;
    std::fill(std::begin(run.held), std::end(run.held), PlayerInput{0});
    run.recording = Replay{};
    run.recording.players = run.game.player_count;
    run.recording.seed = plan.seed;
    run.recording.clock_phase = static_cast<uint8_t>(run.clock_base % clock_phase_cycle);
    clear_keybuf();
    run.input = make_input_reader(plan.controls);
    run.pad_pause_was = pad_pause_held(plan.controls, run.game.player_count);
    return true;
}

// Compares by inequality, not order, so a game survives tick_count wrapping at 2^32.
void game_pass(GameRun& run)
{
    if (run.feed)
        return feed_pass(run);
    if (pause_pressed(run))
        toggle_pause(run);
    if (run.paused) {
        rest(idle_rest_ms);
        return;
    }
    bool ticked = false;
    if (run.playback && key[fast_forward_key]) {
        for (int i = 0; i < fast_forward_batch && !playback_over(run); i++)
            simulate_tick(run);
        run.last = tick_count.load();
        ticked = true;
    }
    while (run.last != tick_count.load() && !playback_over(run)) {
        simulate_tick(run);
        ticked = true;
    }
    if (playback_over(run))
        run.last = tick_count.load();
    if (ticked || key[KEY_B])
        draw_frame(run);
    else if (run.low_power)
        rest(idle_rest_ms);
}

// The first pass runs before the condition is asked, as every later one does.
void run_game_loop(GameRun& run)
{
    do
        game_pass(run);
    while (game_goes_on(run));
}

bool game_goes_on(const GameRun& run)
{
    if (run.feed)
        return !run.feed->over();
    return !key[KEY_ESC] && !game_is_over(run.game) && !playback_over(run) && !quit_requested();
}

void finish_game(GameRun& run)
{
    if (run.paused)
        midi_resume();
    // The wells as play left them, uncovered; a fed game's as both machines settled them.
    if (run.paused || run.feed)
        draw_game(run.view, run.game, blink_clock(run));
    stop_midi();
    draw_game_over(run.view, run.game);
    if (run.feed)
        run.feed->decorate(run.view.frame_buffer);
    show_frame(run);
    // Keys pressed in the pause are dropped: the score screens empty the buffer first. A
    // request to end cuts the pause short.
    for (int waited = 0; waited < game_over_pause_ms && !quit_requested(); waited += pause_slice_ms)
        rest(pause_slice_ms);
}

bool play_game(const ScreenIo& io, const GamePlan& plan, BITMAP* frame_buffer, BITMAP* game_background,
               const PopupImages& popups, GameState& game, Replay& recording)
{
    GameRun run{};
    if (!begin_game(run, io, plan, frame_buffer, game_background, popups))
        return false;
    run_game_loop(run);
    if (run.feed) {
        run.game = run.feed->state();
        run.recording = run.feed->recording();
    } else {
        record_end(run.recording, run.game);
    }
    finish_game(run);
    game = run.game;
    recording = std::move(run.recording);
    return true;
}
