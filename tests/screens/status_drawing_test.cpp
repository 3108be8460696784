// Drawing the scores, the clock and the framed panels.
#include "screen_fixture.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/colors.h"
#include "screens/hud.h"
#include "screens/panel.h"

namespace {

using Points = std::initializer_list<std::pair<int, int>>;

struct InkBox {
    int left = 10000, right = -1, top = 10000, bottom = -1;
    bool empty() const { return right < 0; }
};

// The extent of `color` pixels inside a rectangle.
InkBox ink_of(BITMAP* bmp, int color, int x0, int y0, int x1, int y1)
{
    InkBox box;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (getpixel(bmp, x, y) == color) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Where `text` puts ink, from row `first_row` of its glyphs down, when written with its
// left edge at x 0 and top at y 0.
InkBox ink_of_text(const std::string& text, int first_row = 0)
{
    FONT* f = asset_font(Asset::normal_font);
    BITMAP* scratch = create_bitmap(text_length(f, text.c_str()) + 8, text_height(f) + 8);
    clear_bitmap(scratch);
    textout_ex(scratch, f, text.c_str(), 0, 0, color_white, -1);
    InkBox box = ink_of(scratch, color_white, 0, first_row, scratch->w - 1, scratch->h - 1);
    destroy_bitmap(scratch);
    return box;
}

class StatusDrawing : public ScreenTest {
protected:
    BITMAP* background = nullptr;
    int stale = 0;

    void SetUp() override
    {
        ScreenTest::SetUp();
        background = create_bitmap(640, 480);
        clear_to_color(background, makecol(30, 60, 90));
        stale = makecol(120, 0, 0);
        clear_to_color(frame, stale);
        start_empty_game(2);
        clear_to_color(frame, stale);
    }

    void TearDown() override
    {
        destroy_bitmap(background);
        ScreenTest::TearDown();
    }

    int text_width(const std::string& text)
    {
        return text_length(asset_font(Asset::normal_font), text.c_str());
    }
};

TEST_F(StatusDrawing, ClockReadsMinutesAndSeconds)
{
    const struct {
        int32_t ticks;
        const char* text;
    } cases[] = {{7200, "2:00"}, {7199, "1:59"}, {3600, "1:00"}, {3599, "0:59"},
                 {60, "0:01"}, {59, "0:00"}, {0, "0:00"}};
    for (const auto& c : cases) {
        char text[clock_text_size];
        format_clock(c.ticks, text);
        EXPECT_STREQ(text, c.text) << c.ticks << " ticks";
    }
}

TEST_F(StatusDrawing, ClockIsCentredInItsRestoredPatch)
{
    for (int32_t ticks : {7200, 3599, 0}) {
        time_left = ticks;
        draw_hud(frame, background);
        char text[clock_text_size];
        format_clock(ticks, text);
        const InkBox want = ink_of_text(text);
        const int left = 320 - text_width(text) / 2;
        const InkBox seen = ink_of(frame, color_white, 280, 120, 360, 170);
        EXPECT_EQ(seen.left, left + want.left) << text;
        EXPECT_EQ(seen.right, left + want.right) << text;
        EXPECT_EQ(seen.top, 130 + want.top) << text;
        // The patch behind it came from the background; its surroundings were left alone.
        EXPECT_EQ(getpixel(frame, 290, 154), getpixel(background, 290, 154));
        EXPECT_EQ(getpixel(frame, 349, 130), getpixel(background, 349, 130));
        EXPECT_EQ(getpixel(frame, 289, 140), stale);
        EXPECT_EQ(getpixel(frame, 350, 140), stale);
        EXPECT_EQ(getpixel(frame, 300, 155), stale);
        EXPECT_EQ(getpixel(frame, 300, 129), stale);
    }
}

TEST_F(StatusDrawing, PlayerOneScoreStartsAtItsCorner)
{
    players[0].score = 0;
    draw_hud(frame, background);
    InkBox want = ink_of_text("0");
    InkBox seen = ink_of(frame, color_white, 0, 0, 300, 40);
    EXPECT_EQ(seen.left, 64 + want.left);
    EXPECT_EQ(seen.right, 64 + want.right);
    EXPECT_EQ(seen.top, 12 + want.top);

    players[0].score = 12345;
    draw_hud(frame, background);
    want = ink_of_text("12345");
    seen = ink_of(frame, color_white, 0, 0, 300, 40);
    EXPECT_EQ(seen.right, 64 + want.right);
}

TEST_F(StatusDrawing, ScorePatchIsRestoredAndNothingAroundIt)
{
    players[0].score = 5;
    players[1].score = 5;
    draw_hud(frame, background);
    for (int x : {64, 163, 476, 575}) {
        EXPECT_EQ(getpixel(frame, x, 37), getpixel(background, x, 37)) << x;
        EXPECT_EQ(getpixel(frame, x, 38), stale) << x;
    }
    // The text starts 2 rows above its patch; where it has no ink those rows stay stale.
    EXPECT_EQ(getpixel(frame, 163, 13), stale);
    EXPECT_EQ(getpixel(frame, 476, 13), stale);
    EXPECT_EQ(getpixel(frame, 63, 20), stale);
    EXPECT_EQ(getpixel(frame, 164, 20), stale);
    EXPECT_EQ(getpixel(frame, 475, 20), stale);
    EXPECT_EQ(getpixel(frame, 576, 20), stale);
    // An old, longer score is wiped by the patch.
    players[0].score = 99999;
    draw_hud(frame, background);
    players[0].score = 1;
    draw_hud(frame, background);
    EXPECT_EQ(ink_of(frame, color_white, 0, 14, 300, 40).right, 64 + ink_of_text("1").right);
}

TEST_F(StatusDrawing, PlayerTwoScoreEndsAtTheSameEdgeAsItGrows)
{
    for (int32_t score : {0, 7, 450, 123456}) {
        players[1].score = score;
        draw_hud(frame, background);
        const std::string text = std::to_string(score);
        // Rows above the patch keep earlier scores' ink, so look from the patch down.
        const InkBox want = ink_of_text(text, 14 - 12);
        const InkBox seen = ink_of(frame, color_white, 330, 14, 639, 40);
        const int left = 576 - text_width(text);
        EXPECT_EQ(seen.left, left + want.left) << score;
        EXPECT_EQ(seen.right, left + want.right) << score;
        EXPECT_LT(seen.right, 576) << score;
    }
}

TEST_F(StatusDrawing, OnePlayerGameShowsNoSecondScore)
{
    end_game();
    start_empty_game(1);
    clear_to_color(frame, stale);
    draw_hud(frame, background);
    EXPECT_TRUE(ink_of(frame, color_white, 330, 0, 639, 40).empty());
    EXPECT_EQ(getpixel(frame, 500, 20), stale);
}

class Panels : public ScreenTest {};

TEST_F(Panels, DarkenByHalfInsideAndOnlyThere)
{
    const int under = makecol(200, 160, 80);
    clear_to_color(frame, under);
    draw_panel(frame, 60, 44, 200, 392);
    const Rgb before = rgb_of(under);
    // Inside the frame: every channel halved (16-bit colour rounds a little).
    for (auto [x, y] : Points{{64, 48}, {255, 431}, {160, 240}}) {
        const Rgb seen = rgb_at(frame, x, y);
        EXPECT_NEAR(seen.r, before.r / 2, 8) << x << "," << y;
        EXPECT_NEAR(seen.g, before.g / 2, 8) << x << "," << y;
        EXPECT_NEAR(seen.b, before.b / 2, 8) << x << "," << y;
    }
    // Outside: untouched.
    for (auto [x, y] : Points{{59, 100}, {260, 100}, {100, 43}, {100, 436}})
        EXPECT_EQ(getpixel(frame, x, y), under) << x << "," << y;
    // The frame: black at insets 0 and 3 (darker), white at 1 and 2 (lighter).
    const int mid = before.r + before.g + before.b;
    auto sum = [&](int x, int y) {
        const Rgb c = rgb_at(frame, x, y);
        return c.r + c.g + c.b;
    };
    EXPECT_LT(sum(60, 200), mid);
    EXPECT_GT(sum(61, 200), mid);
    EXPECT_GT(sum(62, 200), mid);
    EXPECT_LT(sum(63, 200), mid);
    EXPECT_LT(sum(259, 200), mid);
    EXPECT_GT(sum(258, 200), mid);
    EXPECT_LT(sum(100, 435), mid);
    EXPECT_GT(sum(100, 434), mid);
}

// The game never switches back to solid drawing; what follows a panel blends at 128.
TEST_F(Panels, LeaveTranslucentDrawingInForce)
{
    BITMAP* other = create_bitmap(10, 10);
    draw_panel(frame, 280, 124, 80, 40);
    clear_bitmap(other);
    putpixel(other, 1, 1, makecol(240, 240, 240));
    const Rgb seen = rgb_at(other, 1, 1);
    EXPECT_NEAR(seen.r, 120, 8);
    EXPECT_NEAR(seen.g, 120, 8);
    destroy_bitmap(other);
}

} // namespace
