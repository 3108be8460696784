// One game from the chosen player count to the game-over overlay: the fixed-step loop that
// catches up tick by tick and draws after each batch.
#pragma once

#include <allegro.h>
#include <cstdint>

#include "app/screen_io.h"
#include "game/game.h"
#include "replay/replay.h"
#include "screens/game_view.h"
#include "screens/input.h"

// A game against a player on another machine: the loop hands it this machine's player's input
// (the one-player controls) on each tick and draws the state it keeps. It cannot pause, since
// the other clock runs on, and it says itself when the game is over.
class GameFeed {
public:
    virtual ~GameFeed() = default;
    // Ticks this machine starts behind the game's clock, made up on the first pass.
    virtual uint32_t head_start() const = 0;
    // One tick of this machine's clock; the sounds to play.
    virtual TickEvents tick(PlayerInput local) = 0;
    // Between ticks: what came in, what must go out.
    virtual void service() = 0;
    // The player ends the game here (Escape, or the program is asked to end).
    virtual void leave() = 0;
    virtual bool over() const = 0;
    // Both wells as they stand; once over, as they stood at the end both machines settled on.
    virtual const GameState& state() const = 0;
    // Drawn over each frame (inside the wells) and over the final overlay (anywhere).
    virtual void decorate(BITMAP* frame_buffer) const = 0;
    // The game as recorded here, once over.
    virtual const Replay& recording() const = 0;
};

// What a game is to be: who plays with which controls, from which seed; or a recorded game
// to watch again, whose inputs then come from the recording; or a game fed from a network.
struct GamePlan {
    int players;
    uint32_t seed;
    Controls controls = default_controls();
    bool low_power = false; // sleep between ticks rather than spin; the game is the same
    const Replay* playback = nullptr;
    GameFeed* feed = nullptr;
};

// Held while a recording plays: the ticks run as fast as the machine goes, a frame per batch.
constexpr int fast_forward_key = KEY_F;
constexpr int fast_forward_batch = 8;

// A game in progress.
struct GameRun {
    GameState game;
    GameView view;
    InputReader input;
    uint32_t last;       // number of the last tick simulated
    uint32_t clock_base; // the clock at the first tick: the cursor blinks on it and the game's ticks
    ScreenIo io;
    bool low_power;
    bool paused;
    bool pad_pause_was;  // the pads' pause buttons, as last seen
    TickInputs held;     // what the last tick was given
    Replay recording;    // every change of `held`, appended in memory as the game goes
    const Replay* playback;
    size_t next_change;  // the playback's first change not yet given
    GameFeed* feed;
};

// Plays a game in the frame buffer and background the menu prepared, until time is up, a stack
// tops out, Escape is held or the recording played back ends; then shows the overlay and
// pauses. Leaves the final state in `game` and its recording in `recording`. False, with
// nothing played, when the game's own images cannot be made.
bool play_game(const ScreenIo& io, const GamePlan& plan, BITMAP* frame_buffer, BITMAP* game_background,
               const PopupImages& popups, GameState& game, Replay& recording);

// The steps of play_game, for tests that drive tick_count themselves.

// The game, its images, the wells' panels, the first frame's background, music and start sound.
bool begin_game(GameRun& run, const ScreenIo& io, const GamePlan& plan, BITMAP* frame_buffer,
                BITMAP* game_background, const PopupImages& popups);
// One pass of the loop: simulates every tick since run.last in order, then draws a frame;
// with no new tick it draws only while B is held. Never waits for a tick, unless asked to save
// power or paused. P, Pause or a pad's start button pause and resume: while paused nothing is
// simulated, the music stops and the wells are hidden; the ticks of the pause are never made up.
void game_pass(GameRun& run);
// Passes until the game is over; the condition is asked after each pass, so one always runs.
void run_game_loop(GameRun& run);
// False once time is up, a player has topped out, Escape is held or the playback is over.
bool game_goes_on(const GameRun& run);
// Music off, the overlay drawn and shown, the pause.
void finish_game(GameRun& run);
