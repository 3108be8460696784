// The game loop driven tick by tick: how long a game lasts, its sounds, how it ends,
// when frames are drawn, and the tick counter wrapping round.
#include "screen_fixture.h"

#include <utility>
#include <vector>

#include "game/popups.h"
#include "screens/game_loop.h"

namespace {

std::vector<std::pair<Asset, int32_t>> sounds_heard; // each sound with time_left at the call
int retraces = 0;

void record_sound(Asset sound)
{
    sounds_heard.emplace_back(sound, time_left);
}

void count_retrace()
{
    retraces++;
}

int live_images = 0;
BITMAP* counted_create(int w, int h)
{
    live_images++;
    return create_bitmap(w, h);
}
void counted_destroy(BITMAP* image)
{
    if (image)
        live_images--;
    destroy_bitmap(image);
}

class GameLoop : public ScreenTest {
protected:
    BITMAP* display = nullptr;
    BITMAP* background = nullptr;
    BITMAP* title = nullptr;
    int untouched = 0;
    GameRun run{};
    bool released = false;

    void SetUp() override
    {
        ScreenTest::SetUp();
        sounds_heard.clear();
        retraces = 0;
        live_images = 0;
        create_screen_image = counted_create;
        destroy_screen_image = counted_destroy;
        destroy_bitmap(frame); // the game gets a counted frame buffer of its own
        frame = create_screen_image(640, 480);
        clear_bitmap(frame);
        background = create_screen_image(640, 480);
        clear_to_color(background, makecol(50, 90, 130));
        title = create_screen_image(640, 480);
        display = create_bitmap(640, 480);
        untouched = makecol(255, 0, 0);
        clear_to_color(display, untouched);
    }

    void TearDown() override
    {
        if (!released)
            release_game(run, title);
        frame = create_bitmap(1, 1); // for the base class to destroy
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

    bool display_untouched() { return getpixel(display, 320, 300) == untouched; }

    // Advances the clock by `ticks` and makes one pass.
    void pass_after(uint32_t ticks)
    {
        tick_count += ticks;
        game_pass(run);
    }

    // Fills rows 1-11 of a player's well without a line of three and lets the next tick
    // shift the stack, pushing blocks into row 0.
    void about_to_top_out(Player& player)
    {
        for (int row = 1; row < well_rows; row++)
            for (int col = 0; col < well_cols; col++)
                player.grid[row][col] = Cell{static_cast<int8_t>((col + 2 * row) % 5 + 1),
                                             CELL_IDLE, 0, 0, 0};
        player.rise = 31;
        player.rise_countdown = 0;
    }
};

TEST_F(GameLoop, GameLeftAloneLastsExactly7200Ticks)
{
    begin(2);
    EXPECT_EQ(time_left, 7200);
    int ticks = 0;
    while (game_goes_on() && ticks < 8000) {
        pass_after(1);
        ticks++;
    }
    EXPECT_EQ(ticks, 7200);
    EXPECT_EQ(time_left, 0);
    EXPECT_EQ(run.last, 1000u + 7200u);
}

TEST_F(GameLoop, StartWarningAndLastMomentSoundsPlayOnceEach)
{
    begin(1);
    while (game_goes_on())
        pass_after(1);
    const std::vector<std::pair<Asset, int32_t>> want = {
        {Asset::start_sound, time_left}, // recorded before the clock is set: not examined
        {Asset::warning_sound, 900},
        {Asset::last_moment_sound, 30},
    };
    ASSERT_EQ(sounds_heard.size(), want.size());
    EXPECT_EQ(sounds_heard[0].first, Asset::start_sound);
    for (size_t i = 1; i < want.size(); i++) {
        EXPECT_EQ(sounds_heard[i].first, want[i].first) << i;
        EXPECT_EQ(sounds_heard[i].second, want[i].second) << i;
    }
}

TEST_F(GameLoop, SoundsPlayEvenWhenTheirTickIsInsideABatch)
{
    begin(1);
    pass_after(7200 - 905);
    EXPECT_TRUE(sounds_heard.size() == 1);
    pass_after(10);
    ASSERT_EQ(sounds_heard.size(), 2u);
    EXPECT_EQ(sounds_heard[1].first, Asset::warning_sound);
    EXPECT_EQ(time_left, 895);
}

TEST_F(GameLoop, FirstFrameWaitsForTheFirstTick)
{
    begin(1);
    for (int i = 0; i < 3; i++)
        game_pass(run);
    EXPECT_TRUE(display_untouched());
    EXPECT_EQ(time_left, 7200);
    pass_after(1);
    EXPECT_FALSE(display_untouched());
    EXPECT_EQ(getpixel(display, 100, 200), getpixel(frame, 100, 200));
    EXPECT_EQ(time_left, 7199);
}

TEST_F(GameLoop, BatchCatchesUpEveryMissedTickThenDrawsOnce)
{
    begin(1);
    pass_after(25);
    EXPECT_EQ(run.last, tick_count.load());
    EXPECT_EQ(time_left, 7200 - 25);
    EXPECT_EQ(players[0].rise_countdown, 60 - 25);
}

TEST_F(GameLoop, HoldingBRedrawsWithoutNewTicks)
{
    begin(1);
    key[KEY_B] = 1;
    game_pass(run);
    EXPECT_FALSE(display_untouched());
    EXPECT_EQ(time_left, 7200); // drawing only; nothing was simulated
    clear_to_color(display, untouched);
    key[KEY_B] = 0;
    game_pass(run);
    EXPECT_TRUE(display_untouched());
}

TEST_F(GameLoop, HoldingVWaitsForTheRetraceBeforeEachCopy)
{
    begin(1);
    pass_after(1);
    EXPECT_EQ(retraces, 0);
    key[KEY_V] = 1;
    pass_after(3);
    EXPECT_EQ(retraces, 1);
    game_pass(run); // no tick, no B: no frame, no wait
    EXPECT_EQ(retraces, 1);
    pass_after(1);
    EXPECT_EQ(retraces, 2);
}

TEST_F(GameLoop, EscapeEndsTheGameAtTheEndOfThePass)
{
    begin(2);
    pass_after(1);
    key[KEY_ESC] = 1;
    pass_after(4);
    // The whole batch ran and its frame was drawn; only then does the game stop.
    EXPECT_EQ(run.last, tick_count.load());
    EXPECT_EQ(time_left, 7195);
    EXPECT_FALSE(game_goes_on());
}

TEST_F(GameLoop, TopOutEndsTheGameAfterTheCurrentBatch)
{
    begin(2);
    about_to_top_out(players[0]);
    const int countdown = players[1].rise_countdown;
    clear_to_color(display, untouched);
    pass_after(5);
    EXPECT_EQ(players[0].topped_out, 1);
    EXPECT_EQ(time_left, 0);
    EXPECT_FALSE(game_goes_on());
    // The other player's ticks of the batch still count, and the frame was drawn.
    EXPECT_EQ(run.last, tick_count.load());
    EXPECT_EQ(players[1].rise_countdown, countdown - 5);
    EXPECT_FALSE(display_untouched());
}

TEST_F(GameLoop, TopOutOfTheSecondPlayerEndsItToo)
{
    begin(2);
    about_to_top_out(players[1]);
    pass_after(1);
    EXPECT_EQ(players[1].topped_out, 1);
    EXPECT_FALSE(game_goes_on());
}

TEST_F(GameLoop, SurvivesTheTickCounterWrappingRound)
{
    begin(1, 0xFFFFFFFDu);
    pass_after(5); // 0xFFFFFFFD + 5 wraps to 2
    EXPECT_EQ(tick_count.load(), 2u);
    EXPECT_EQ(run.last, 2u);
    EXPECT_EQ(time_left, 7195);
    EXPECT_FALSE(display_untouched());
    pass_after(1);
    EXPECT_EQ(time_left, 7194);
}

TEST_F(GameLoop, SetUpFramesTheWellsAndFillsTheFrameBuffer)
{
    begin(2);
    // The panels darken the background under the wells; the rest is the plain background.
    const Rgb plain = rgb_at(background, 10, 10);
    const Rgb under_well = rgb_at(background, 100, 200);
    EXPECT_LT(under_well.r + under_well.g + under_well.b, plain.r + plain.g + plain.b);
    EXPECT_EQ(getpixel(background, 420, 200), getpixel(background, 100, 200));
    EXPECT_EQ(getpixel(background, 59, 200), getpixel(background, 10, 10));
    EXPECT_EQ(getpixel(frame, 59, 200), getpixel(background, 59, 200));
    EXPECT_EQ(getpixel(frame, 300, 300), getpixel(background, 300, 300));
    EXPECT_EQ(players[0].well_x, 64);
    EXPECT_EQ(players[1].well_x, 384);
    EXPECT_EQ(players[1].well_y, 48);
}

TEST_F(GameLoop, OnePlayerGameFramesOnlyTheLeftWell)
{
    begin(1);
    EXPECT_EQ(getpixel(background, 420, 200), getpixel(background, 10, 10));
}

TEST_F(GameLoop, ReleaseFreesTheThreeImagesAndThePopups)
{
    begin(2);
    spawn_popup(1, 200, 100);
    release_game(run, title);
    released = true;
    EXPECT_EQ(live_images, 0);
    EXPECT_EQ(players, nullptr);
    EXPECT_TRUE(popup_list.empty());
}

} // namespace
