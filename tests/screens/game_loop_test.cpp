// The game loop driven tick by tick: how long a game lasts, its sounds, how it ends,
// when frames are drawn, and the tick counter wrapping round.
#include "screen_fixture.h"

#include <utility>
#include <vector>

#include "game/popups.h"
#include "screens/game_loop.h"

namespace {

std::vector<std::pair<Asset, int32_t>> sounds; // each with time_left at the call
int retraces = 0;
int live_images = 0;

void record_sound(Asset sound) { sounds.emplace_back(sound, time_left); }
void count_retrace() { retraces++; }
BITMAP* counted_create(int w, int h)
{
    live_images++;
    return create_bitmap(w, h);
}
void counted_destroy(BITMAP* image)
{
    live_images -= image != nullptr;
    destroy_bitmap(image);
}

class GameLoop : public ScreenTest {
protected:
    BITMAP* display = nullptr;
    BITMAP* background = nullptr;
    GameRun run{};
    const int untouched = makecol(255, 0, 0);

    void SetUp() override
    {
        ScreenTest::SetUp();
        sounds.clear();
        retraces = live_images = 0;
        create_screen_image = counted_create;
        destroy_screen_image = counted_destroy;
        destroy_bitmap(frame);
        frame = create_screen_image(640, 480); // the game's frame buffer, released by it
        clear_bitmap(frame);
        background = create_screen_image(640, 480);
        clear_to_color(background, makecol(50, 90, 130));
        display = create_bitmap(640, 480);
        clear_to_color(display, untouched);
    }
    void TearDown() override
    {
        if (players)
            release_game(run, create_screen_image(640, 480));
        frame = nullptr;
        create_screen_image = create_bitmap;
        destroy_screen_image = destroy_bitmap;
        destroy_bitmap(display);
        ScreenTest::TearDown();
    }

    void begin(int count, uint32_t first_tick = 1000)
    {
        tick_count = first_tick;
        run = begin_game(count, frame, background, Output{display, count_retrace, record_sound, nullptr});
    }
    void pass_after(uint32_t ticks)
    {
        tick_count += ticks;
        game_pass(run);
    }
    bool shown() { return getpixel(display, 320, 301) != untouched; }

    // Rows 1-11 full without a line of three; the next tick shifts blocks into row 0.
    static void about_to_top_out(Player& player)
    {
        for (int row = 1; row < well_rows; row++)
            for (int col = 0; col < well_cols; col++)
                player.grid[row][col] = Cell{static_cast<int8_t>((col + 2 * row) % 5 + 1), CELL_IDLE, 0, 0, 0};
        player.rise = 31;
        player.rise_countdown = 0;
    }
};

TEST_F(GameLoop, GameLeftAloneLastsExactly7200TicksWithItsSoundsOnTime)
{
    begin(2);
    int ticks = 0;
    while (game_goes_on() && ticks < 8000) {
        pass_after(1);
        ticks++;
    }
    EXPECT_EQ(ticks, 7200);
    EXPECT_EQ(run.last, 1000u + 7200u);
    ASSERT_EQ(sounds.size(), 3u);
    EXPECT_EQ(sounds[0].first, Asset::start_sound);
    EXPECT_EQ(sounds[1], std::make_pair(Asset::warning_sound, int32_t{900}));
    EXPECT_EQ(sounds[2], std::make_pair(Asset::last_moment_sound, int32_t{30}));
}

TEST_F(GameLoop, FirstFrameWaitsForTheFirstTickThenABatchCatchesUp)
{
    begin(1);
    game_pass(run);
    game_pass(run);
    EXPECT_FALSE(shown());
    EXPECT_EQ(time_left, 7200);
    pass_after(1);
    EXPECT_TRUE(shown());
    EXPECT_EQ(getpixel(display, 100, 201), getpixel(frame, 100, 201));
    pass_after(899 - 25); // a batch passing the warning tick still sounds it
    EXPECT_EQ(run.last, tick_count.load());
    EXPECT_EQ(time_left, 7200 - 900 + 25);
    EXPECT_EQ(sounds.size(), 1u);
    pass_after(7200 - 900 + 25 - 900 + 3);
    EXPECT_EQ(sounds.back().first, Asset::warning_sound);
}

TEST_F(GameLoop, HoldingBRedrawsWithoutTicksAndVWaitsForTheRetrace)
{
    begin(1);
    key[KEY_B] = 1;
    game_pass(run);
    EXPECT_TRUE(shown());
    EXPECT_EQ(time_left, 7200);
    key[KEY_B] = 0;
    clear_to_color(display, untouched);
    game_pass(run);
    EXPECT_FALSE(shown());

    key[KEY_V] = 1;
    pass_after(3);
    game_pass(run); // no tick: no frame, no wait
    EXPECT_EQ(retraces, 1);
    key[KEY_V] = 0;
    pass_after(1);
    EXPECT_EQ(retraces, 1);
}

TEST_F(GameLoop, EscapeEndsTheGameAtTheEndOfThePass)
{
    begin(2);
    key[KEY_ESC] = 1;
    pass_after(4);
    EXPECT_EQ(run.last, tick_count.load());
    EXPECT_EQ(time_left, 7196);
    EXPECT_TRUE(shown());
    EXPECT_FALSE(game_goes_on());
}

TEST_F(GameLoop, TopOutEndsTheGameAfterTheBatch)
{
    begin(2);
    about_to_top_out(players[0]);
    const int other_countdown = players[1].rise_countdown;
    pass_after(5);
    EXPECT_EQ(players[0].topped_out, 1);
    EXPECT_FALSE(game_goes_on());
    // The rest of the batch still ran for both players, and its frame was drawn.
    EXPECT_EQ(run.last, tick_count.load());
    EXPECT_EQ(players[1].rise_countdown, other_countdown - 5);
    EXPECT_TRUE(shown());
}

TEST_F(GameLoop, SurvivesTheTickCounterWrappingRound)
{
    begin(1, 0xFFFFFFFDu);
    pass_after(5);
    EXPECT_EQ(run.last, 2u);
    EXPECT_EQ(time_left, 7195);
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

TEST_F(GameLoop, WellsSitInTheirPanelsAtTheirPlaces)
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
}

TEST_F(GameLoop, ReleaseFreesTheImagesAndPopups)
{
    begin(2);
    spawn_popup(1, 200, 100);
    release_game(run, create_screen_image(640, 480));
    EXPECT_EQ(live_images, 0);
    EXPECT_EQ(players, nullptr);
    EXPECT_TRUE(popup_list.empty());
}

} // namespace
