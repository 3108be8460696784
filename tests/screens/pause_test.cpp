// Pausing a game, and a recording played back through the loop: the clock and the simulation
// stand still while paused and never make the pause up, and a recording replays the game.
#include "screen_fixture.h"

#include <cstring>

#include "replay/replay_text.h"
#include "screens/game_loop.h"

namespace {

class Pause : public ScreenTest {
protected:
    Bitmap frame = filled(640, 480, 0), background = filled(640, 480, makecol(50, 90, 130));
    PopupImages popups;
    GameRun run{};

    void begin(const GamePlan& plan)
    {
        tick_count = 500;
        ASSERT_TRUE(begin_game(run, fake_io(), plan, frame.get(), background.get(), popups));
    }
    void pass_after(uint32_t ticks) { tick_count += ticks, game_pass(run); }
    void press(int scancode) { seen.pending_keys.push_back(scancode); }
    // Scripted play: right and swap toggled now and then, for `ticks` ticks one pass each.
    void play(int ticks)
    {
        for (int t = 0; t < ticks; t++) {
            key[KEY_RIGHT] = (t / 7) % 2;
            key[KEY_RSHIFT] = (t / 5) % 2;
            pass_after(1);
        }
    }
};

TEST_F(Pause, PAndPauseFreezeClockAndWellsHideTheWellsAndNeverMakeUpTheTicks)
{
    begin(GamePlan{1, 3});
    play(40);
    const GameState before = run.game;
    for (int pause_key : {KEY_P, KEY_PAUSE}) {
        SCOPED_TRACE(pause_key);
        press(pause_key);
        pass_after(1);
        ASSERT_TRUE(run.paused);
        const WellView& well = run.view.wells[0];
        for (int y = 0; y < well_height; y += 7) // no block shows: the well is its background
            for (int x = 0; x < well_width; x += 5)
                if (getpixel(well.background.get(), x, y) != getpixel(well.view.get(), x, y) && y > well_height / 2 + 30)
                    FAIL() << "a block shows at " << x << "," << y << " while paused";
        pass_after(600);
        EXPECT_EQ(run.game.ticks, before.ticks);
        EXPECT_EQ(run.game.time_left, before.time_left);
        press(pause_key);
        pass_after(0);
        EXPECT_FALSE(run.paused);
        EXPECT_EQ(run.game.ticks, before.ticks) << "a burst of the paused ticks";
        pass_after(1);
        EXPECT_EQ(run.game.ticks, before.ticks + 1);
        run.game.ticks = before.ticks;
        run.game.time_left = before.time_left;
    }
}

TEST_F(Pause, APausedGamesRecordingEqualsAnUnpausedOnesAndPlaysItBack)
{
    Replay recordings[2];
    GameState finals[2];
    for (int paused : {0, 1}) {
        run = GameRun{};
        begin(GamePlan{1, 11});
        play(120);
        if (paused) {
            press(KEY_P);
            pass_after(1);
            pass_after(300);
            press(KEY_P);
            pass_after(0);
        }
        play(200);
        record_end(run.recording, run.game);
        recordings[paused] = run.recording;
        finals[paused] = run.game;
    }
    EXPECT_EQ(replay_text(recordings[1]), replay_text(recordings[0]));
    EXPECT_EQ(finals[1].players[0].score, finals[0].players[0].score);
    EXPECT_EQ(verify_replay(recordings[1]), "");

    // Played back, with F held for a while: the same game, to its last tick and no further.
    run = GameRun{};
    GamePlan watch{1, recordings[0].seed};
    watch.playback = &recordings[0];
    begin(watch);
    key[fast_forward_key] = 1;
    for (int pass = 0; pass < 10; pass++)
        game_pass(run);
    EXPECT_EQ(run.game.ticks, 10 * fast_forward_batch) << "a batch a pass, whatever the clock";
    key[fast_forward_key] = 0;
    for (int pass = 0; pass < 400 && game_goes_on(run); pass++)
        pass_after(1);
    EXPECT_FALSE(game_goes_on(run));
    EXPECT_EQ(run.game.ticks, recordings[0].end_tick);
    EXPECT_EQ(0, std::memcmp(&run.game.players[0], &finals[0].players[0], sizeof(Player)));
}

} // namespace
