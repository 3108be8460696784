// The game loop driven tick by tick: length, sounds, endings, when frames are drawn.
#include "screen_fixture.h"

#include "game/popups.h"
#include "screens/game_loop.h"

namespace {

class GameLoop : public ScreenTest {
protected:
    BITMAP *display = create_bitmap(640, 480), *background = nullptr;
    GameRun run{};
    const int untouched = makecol(255, 0, 0);

    void SetUp() override
    {
        ScreenTest::SetUp();
        destroy_bitmap(frame);
        frame = create_screen_image(640, 480); // the game's own frame buffer and background
        background = create_screen_image(640, 480);
        clear_bitmap(frame);
        clear_to_color(background, makecol(50, 90, 130));
        clear_to_color(display, untouched);
    }
    void TearDown() override
    {
        if (players)
            release_game(run, create_screen_image(640, 480));
        frame = nullptr;
        destroy_bitmap(display);
        ScreenTest::TearDown();
    }
    void begin(int count, uint32_t first_tick = 1000)
    {
        tick_count = first_tick;
        run = begin_game(count, frame, background, Output{display, count_retrace, record_sound, nullptr});
    }
    void pass_after(uint32_t ticks) { tick_count += ticks, game_pass(run); }
    bool shown() { return getpixel(display, 320, 301) != untouched; }
};

TEST_F(GameLoop, GameLeftAloneLastsExactly7200TicksWithItsSoundsOnTime)
{
    begin(2);
    int ticks = 0;
    for (; game_goes_on() && ticks < 8000; ticks++)
        pass_after(1);
    EXPECT_EQ(ticks, 7200);
    EXPECT_EQ(run.last, 1000u + 7200u);
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(sounds[0].first, Asset::start_sound);
    EXPECT_EQ(sounds[1], std::pair(Asset::warning_sound, 900));
    EXPECT_EQ(sounds[2], std::pair(Asset::last_moment_sound, 30));
}

TEST_F(GameLoop, ABatchRunsEveryTickSinceTheLastPassAcrossTheCounterWrappingRound)
{
    begin(1, 0xFFFFFFFDu);
    pass_after(875);
    EXPECT_EQ(run.last, 872u);
    EXPECT_EQ(time_left, 7200 - 875);
    EXPECT_TRUE(shown());
    EXPECT_EQ(sounds.size(), 1u);
    pass_after(7200 - 875 - 897); // passes the warning tick, which still sounds
    EXPECT_EQ(sounds.back(), std::pair(Asset::warning_sound, 900));
}

TEST_F(GameLoop, FramesAreDrawnAfterTicksOrWhileBIsHeldAndVWaitsForTheRetrace)
{
    begin(1);
    game_pass(run);
    EXPECT_FALSE(shown());
    key[KEY_B] = 1;
    game_pass(run);
    EXPECT_TRUE(shown());
    EXPECT_EQ(time_left, 7200);
    key[KEY_B] = 0, key[KEY_V] = 1;
    clear_to_color(display, untouched);
    game_pass(run); // no tick: no frame, no wait
    EXPECT_FALSE(shown());
    EXPECT_EQ(retraces, 0);
    pass_after(1);
    EXPECT_EQ(retraces, 1);
    EXPECT_EQ(getpixel(display, 100, 201), getpixel(frame, 100, 201));
    key[KEY_V] = 0;
    pass_after(1);
    EXPECT_EQ(retraces, 1);
}

TEST_F(GameLoop, EscapeOrATopOutEndsTheGameAfterTheWholeBatchIsDrawn)
{
    begin(2);
    key[KEY_ESC] = 1;
    pass_after(4);
    EXPECT_EQ(time_left, 7196);
    EXPECT_TRUE(shown());
    EXPECT_FALSE(game_goes_on());
    key[KEY_ESC] = 0;
    // Rows 1-11 full without a line of three: the next tick shifts blocks into row 0.
    for (int row = 1; row < well_rows; row++)
        for (int col = 0; col < well_cols; col++)
            players[0].grid[row][col] = Cell{static_cast<int8_t>((col + 2 * row) % 5 + 1), CELL_IDLE, 0, 0, 0};
    players[0].rise = 31;
    players[0].rise_countdown = 0;
    const int other_countdown = players[1].rise_countdown;
    clear_to_color(display, untouched);
    pass_after(5);
    EXPECT_EQ(players[0].topped_out, 1);
    EXPECT_FALSE(game_goes_on());
    EXPECT_EQ(players[1].rise_countdown, other_countdown - 5);
    EXPECT_TRUE(shown());
}

TEST_F(GameLoop, RightShiftEchoedOnLeftShiftSwapsForPlayerTwoOnly)
{
    begin(2);
    key[KEY_RSHIFT] = key[KEY_LSHIFT] = 1;
    pass_after(1);
    EXPECT_EQ(players[0].groups, nullptr);
    EXPECT_NE(players[1].groups, nullptr);
}

TEST_F(GameLoop, WellsSitInTheirPanelsAndReleaseFreesImagesAndPopups)
{
    begin(2);
    EXPECT_EQ(players[0].view->x_ofs, 64);
    EXPECT_EQ(players[1].view->x_ofs, 384);
    EXPECT_EQ(players[1].view->y_ofs, 48);
    const int plain = rgb_at(background, 10, 11).sum();
    for (int x : {64, 255, 384, 575})
        EXPECT_LT(rgb_at(background, x, 431).sum(), plain) << x; // under a panel's fill
    for (int x : {59, 260, 379, 580})
        EXPECT_EQ(rgb_at(background, x, 201).sum(), plain) << x;
    EXPECT_EQ(getpixel(frame, 300, 301), getpixel(background, 300, 301));
    spawn_popup(1, 200, 100);
    release_game(run, create_screen_image(640, 480));
    EXPECT_EQ(live_images, 0);
    EXPECT_EQ(players, nullptr);
    EXPECT_TRUE(popup_list.empty());
}

} // namespace
