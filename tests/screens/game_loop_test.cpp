// The game loop driven tick by tick: length, sounds, catching up, frames, endings, the pause,
// and recordings made and played back through it.
#include "screen_fixture.h"

#include <cstring>

#include "replay/replay_text.h"
#include "screens/game_loop.h"

namespace {

class GameLoop : public ScreenTest {
protected:
    const int untouched = makecol(255, 0, 0);
    const Bitmap frame{create_bitmap(640, 480)}, background{create_bitmap(640, 480)};
    PopupImages popups;
    GameRun run{}; // after the frame buffer: its wells are views into it

    void begin(const GamePlan& plan, uint32_t first_tick = 1000)
    {
        run = GameRun{}, tick_count = first_tick, watched = &run.game;
        clear_to_color(display, untouched), clear_to_color(background.get(), makecol(50, 90, 130));
        ASSERT_TRUE(begin_game(run, fake_io(), plan, frame.get(), background.get(), popups));
    }
    void pass_after(uint32_t ticks) { tick_count += ticks, game_pass(run); }
    bool shown() const { return getpixel(display, 320, 301) != untouched; }
    void play(int ticks) // right and swap toggled now and then, a pass a tick
    {
        for (int t = 0; t < ticks; t++)
            key[KEY_RIGHT] = (t / 7) % 2, key[KEY_RSHIFT] = (t / 5) % 2, pass_after(1);
    }
};

TEST_F(GameLoop, AGameLasts7200TicksWithItsSoundsOnTimeCatchingUpAcrossTheCounterWrappingRound)
{
    begin(GamePlan{2, 7}, 0xFFFFFFFDu);
    pass_after(875);
    EXPECT_EQ(std::tuple(run.last, run.game.ticks, shown()), std::tuple(872u, 875, true));
    for (int passes = 0; game_goes_on(run) && passes < 8000; passes++)
        pass_after(1);
    EXPECT_EQ(std::tuple(run.last, run.game.ticks), std::tuple(0xFFFFFFFDu + 7200u, 7200));
    using A = Asset;
    EXPECT_EQ(seen.sounds, (Sounds{{A::start_sound, 7200}, {A::warning_sound, 900}, {A::last_moment_sound, 30}}));
}

// A frame follows each batch of ticks, or each pass while B is held; with V held it waits for
// the retrace before the copy. Escape or a top-out ends the game after its batch is drawn.
TEST_F(GameLoop, FramesFollowBatchesOrBAndVWaitsBeforeTheCopyAndEndingsComeAfterTheBatch)
{
    begin(GamePlan{2, 7});
    game_pass(run);
    EXPECT_FALSE(shown()) << "no tick, no frame";
    key[KEY_B] = 1, game_pass(run);
    EXPECT_EQ(std::pair(shown(), run.game.ticks), std::pair(true, 0));
    key[KEY_B] = 0, key[KEY_V] = 1, clear_to_color(display, untouched), game_pass(run);
    EXPECT_FALSE(shown()) << "no tick: no frame, no wait";
    key[KEY_ESC] = 1, pass_after(4);
    EXPECT_EQ(seen.retraces, std::vector<int>{untouched}); // the display as it was before the copy
    EXPECT_TRUE(same_pixels(display, frame.get()));
    EXPECT_EQ(std::tuple(run.game.ticks, game_goes_on(run)), std::tuple(4, false));
    key[KEY_ESC] = key[KEY_V] = 0;
    EXPECT_TRUE(game_goes_on(run));
    // Rows 1-11 full without a line of three: the next tick shifts blocks into row 0.
    Player& p = run.game.players[0];
    for (int row = 1; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++)
            p.grid[row][col] = Cell{static_cast<int8_t>((col + 2 * row) % 5 + 1), CELL_IDLE, 0, 0, 0};
    p.rise = cell_size - 1, p.rise_countdown = 0;
    clear_to_color(display, untouched), pass_after(5);
    EXPECT_EQ(std::tuple(p.topped_out, run.game.ticks, game_goes_on(run), shown()), std::tuple(1, 9, false, true));
    EXPECT_EQ(seen.retraces.size(), 1u);
    key[KEY_ESC] = 1, tick_count += 3, run_game_loop(run); // a pass comes before the first question
    EXPECT_EQ(run.game.ticks, 12);
}

// P or Pause, tapped between passes among other keys, stops the game and its clock; the ticks
// of the pause are never made up, so the recording is the unpaused game's. (The wells hidden
// meanwhile are in the scenes' reference images.)
TEST_F(GameLoop, APausedGameFreezesAndItsRecordingEqualsAnUnpausedOnesAndPlaysItBack)
{
    Replay recordings[2];
    Player last;
    for (int paused : {0, 1}) {
        begin(GamePlan{1, 11}, 500);
        play(120);
        for (int pause_key : paused ? std::vector<int>{KEY_P, KEY_PAUSE} : std::vector<int>{}) {
            const std::pair frozen(run.game.ticks, run.game.time_left);
            press({KEY_SPACE, pause_key, KEY_Q});
            pass_after(1);
            ASSERT_TRUE(run.paused) << pause_key;
            pass_after(600);
            EXPECT_EQ(std::pair(run.game.ticks, run.game.time_left), frozen);
            press({pause_key});
            pass_after(0);
            EXPECT_EQ(std::pair(run.paused, run.game.ticks), std::pair(false, frozen.first)) << "a burst of ticks";
        }
        play(200);
        record_end(run.recording, run.game);
        recordings[paused] = run.recording, last = run.game.players[0];
    }
    EXPECT_EQ(replay_text(recordings[1]), replay_text(recordings[0]));
    EXPECT_EQ(verify_replay(recordings[1]), "");

    // Played back, with F held for a while: the same game, to its last tick and no further.
    begin(GamePlan{1, recordings[0].seed, default_controls(), false, &recordings[0]}, 500);
    key[fast_forward_key] = 1;
    for (int pass = 0; pass < 10; pass++)
        game_pass(run);
    EXPECT_EQ(run.game.ticks, 10 * fast_forward_batch) << "a batch a pass, whatever the clock";
    key[fast_forward_key] = 0;
    for (int pass = 0; pass < 400 && game_goes_on(run); pass++)
        pass_after(1);
    EXPECT_EQ(std::tuple(game_goes_on(run), run.game.ticks), std::tuple(false, recordings[0].end_tick));
    EXPECT_EQ(0, std::memcmp(&run.game.players[0], &last, sizeof(Player)));
}

} // namespace
