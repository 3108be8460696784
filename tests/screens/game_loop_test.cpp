// The game loop driven tick by tick: length, sounds, catching up, frames, endings, wells.
#include "screen_fixture.h"

#include <iterator>

#include "screens/game_loop.h"

namespace {

class GameLoop : public ScreenTest {
protected:
    const int untouched = makecol(255, 0, 0);
    Bitmap frame = filled(640, 480, 0), background = filled(640, 480, makecol(50, 90, 130));
    PopupImages popups;
    GameRun run{}; // after the frame buffer: its wells are views into it

    void begin(int count, uint32_t first_tick = 1000)
    {
        clear_to_color(display, untouched);
        tick_count = first_tick;
        watched = &run.game;
        ASSERT_TRUE(begin_game(run, fake_io(), GamePlan{count, 7}, frame.get(), background.get(), popups));
    }
    void pass_after(uint32_t ticks) { tick_count += ticks, game_pass(run); }
    bool shown() const { return getpixel(display, 320, 301) != untouched; }
};

TEST_F(GameLoop, GameLeftAloneLastsExactly7200TicksWithItsClockSoundsOnTime)
{
    begin(2);
    int ticks = 0;
    for (; game_goes_on(run) && ticks < 8000; ticks++)
        pass_after(1);
    EXPECT_EQ(ticks, 7200);
    EXPECT_EQ(run.last, 1000u + 7200u);
    Sounds clock_sounds; // matches may sound too, as the stacks rise
    std::copy_if(seen.sounds.begin(), seen.sounds.end(), std::back_inserter(clock_sounds),
                 [](const auto& s) { return s.first != Asset::match_sound; });
    EXPECT_EQ(clock_sounds, (Sounds{{Asset::start_sound, 7200}, {Asset::warning_sound, 900},
                                    {Asset::last_moment_sound, 30}}));
}

TEST_F(GameLoop, ABatchRunsEveryTickSinceTheLastPassAcrossTheCounterWrappingRound)
{
    begin(1, 0xFFFFFFFDu);
    pass_after(875);
    EXPECT_EQ(run.last, 872u);
    EXPECT_EQ(run.game.ticks, 875);
    EXPECT_TRUE(shown());
    pass_after(7200 - 875 - 897); // across the warning tick, which still sounds
    EXPECT_EQ(seen.sounds.back(), std::pair(Asset::warning_sound, 900));
}

TEST_F(GameLoop, FramesAreDrawnAfterTicksOrWhileBIsHeldAndVWaitsForTheRetraceBeforeTheCopy)
{
    begin(1);
    game_pass(run);
    EXPECT_FALSE(shown());
    key[KEY_B] = 1;
    game_pass(run);
    EXPECT_TRUE(shown());
    EXPECT_EQ(run.game.ticks, 0);
    key[KEY_B] = 0, key[KEY_V] = 1;
    clear_to_color(display, untouched);
    game_pass(run); // no tick: no frame, no wait
    EXPECT_FALSE(shown());
    pass_after(2);
    EXPECT_EQ(seen.retraces, std::vector<int>{untouched});
    EXPECT_TRUE(same_pixels(display, frame.get()));
    key[KEY_V] = 0;
    pass_after(1);
    EXPECT_EQ(seen.retraces.size(), 1u);
}

TEST_F(GameLoop, EscapeOrATopOutEndsTheGameAfterTheWholeBatchIsSimulatedAndDrawn)
{
    begin(2);
    key[KEY_ESC] = 1;
    pass_after(4);
    EXPECT_EQ(run.game.ticks, 4);
    EXPECT_TRUE(shown());
    EXPECT_FALSE(game_goes_on(run));
    key[KEY_ESC] = 0;
    EXPECT_TRUE(game_goes_on(run));
    // Rows 1-11 full without a line of three: the next tick shifts blocks into row 0.
    Player& p = run.game.players[0];
    for (int row = 1; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++)
            p.grid[row][col] = Cell{static_cast<int8_t>((col + 2 * row) % 5 + 1), CELL_IDLE, 0, 0, 0};
    p.rise = cell_size - 1;
    p.rise_countdown = 0;
    clear_to_color(display, untouched);
    pass_after(5);
    EXPECT_EQ(p.topped_out, 1);
    EXPECT_EQ(run.game.ticks, 9);
    EXPECT_FALSE(game_goes_on(run));
    EXPECT_TRUE(shown());
}

TEST_F(GameLoop, RightShiftEchoedOnLeftShiftSwapsForPlayerTwoOnly)
{
    begin(2);
    key[KEY_RSHIFT] = key[KEY_LSHIFT] = 1;
    pass_after(1);
    EXPECT_EQ(run.game.players[0].groups, no_link);
    EXPECT_NE(run.game.players[1].groups, no_link);
}

TEST_F(GameLoop, WellsSitInTheirPanelsAndTheFirstFrameIsTheBackground)
{
    begin(2);
    for (int i : {0, 1}) {
        const BITMAP* view = run.view.wells[i].view.get();
        EXPECT_EQ(std::vector<int>({view->x_ofs, view->y_ofs, view->w, view->h}),
                  std::vector<int>({i ? 384 : 64, 48, 192, 384}));
    }
    const int plain = getpixel(background.get(), 10, 11);
    auto in_panel = [](int x, int y) { return y >= 44 && y <= 435 && (x % 320 >= 60 && x % 320 <= 259); };
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            ASSERT_EQ(getpixel(background.get(), x, y) != plain, in_panel(x, y)) << x << "," << y;
    EXPECT_TRUE(same_pixels(frame.get(), background.get()));
}

} // namespace
