// Drawing the scores, the clock and the framed panels.
#include "screen_fixture.h"

#include <algorithm>
#include <string>

#include "app/colors.h"
#include "screens/hud.h"
#include "screens/panel.h"

namespace {

// Leftmost and rightmost white pixel columns in a rectangle (-1 if none).
std::pair<int, int> white_columns(BITMAP* bmp, int x0, int y0, int x1, int y1)
{
    int left = -1, right = -1;
    for (int x = x0; x <= x1; x++)
        for (int y = y0; y <= y1; y++)
            if (getpixel(bmp, x, y) == color_white) {
                left = left < 0 ? x : left;
                right = x;
            }
    return {left, right};
}

// The same for `text` written at (x, y) on a bitmap of its own, rows from `first_row` on.
std::pair<int, int> text_columns(const std::string& text, int x, int first_row = 0)
{
    FONT* f = asset_font(Asset::normal_font);
    BITMAP* scratch = create_bitmap(640, 40);
    clear_bitmap(scratch);
    textout_ex(scratch, f, text.c_str(), x, 0, color_white, -1);
    auto columns = white_columns(scratch, 0, first_row, 639, 39);
    destroy_bitmap(scratch);
    return columns;
}

int width_of(const std::string& text)
{
    return text_length(asset_font(Asset::normal_font), text.c_str());
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
        start_empty_game(2);
        stale = makecol(120, 0, 0);
        clear_to_color(frame, stale);
    }
    void TearDown() override
    {
        destroy_bitmap(background);
        ScreenTest::TearDown();
    }
};

TEST_F(StatusDrawing, ClockReadsMinutesAndSeconds)
{
    const std::pair<int32_t, const char*> cases[] = {
        {7200, "2:00"}, {7199, "1:59"}, {3600, "1:00"}, {3599, "0:59"}, {59, "0:00"}, {0, "0:00"}};
    for (auto [ticks, want] : cases) {
        char text[clock_text_size];
        format_clock(ticks, text);
        EXPECT_STREQ(text, want) << ticks;
    }
}

TEST_F(StatusDrawing, ClockIsCentredInItsRestoredPatch)
{
    for (int32_t ticks : {7200, 3599}) {
        time_left = ticks;
        draw_hud(frame, background);
        char text[clock_text_size];
        format_clock(ticks, text);
        EXPECT_EQ(white_columns(frame, 280, 120, 360, 170),
                  text_columns(text, 320 - width_of(text) / 2));
    }
    EXPECT_EQ(getpixel(frame, 290, 154), getpixel(background, 290, 154));
    EXPECT_EQ(getpixel(frame, 349, 130), getpixel(background, 349, 130));
    for (auto [x, y] : {std::pair{289, 140}, {350, 140}, {300, 155}, {300, 129}})
        EXPECT_EQ(getpixel(frame, x, y), stale) << x << "," << y;
}

TEST_F(StatusDrawing, ScoresStartAt64AndEndAt576InTheirRestoredPatches)
{
    players[0].score = 12345;
    for (int32_t score : {0, 7, 450, 123456}) {
        players[1].score = score;
        draw_hud(frame, background);
        const std::string text = std::to_string(score);
        // Rows 12-13 lie above the patch and keep earlier scores' ink: look from 14 down.
        EXPECT_EQ(white_columns(frame, 330, 14, 639, 40), text_columns(text, 576 - width_of(text), 2))
            << score;
    }
    EXPECT_EQ(white_columns(frame, 0, 14, 300, 40), text_columns("12345", 64, 2));
    for (int x : {64, 163, 476, 575}) {
        EXPECT_EQ(getpixel(frame, x, 37), getpixel(background, x, 37)) << x;
        EXPECT_EQ(getpixel(frame, x, 38), stale) << x;
    }
    for (int x : {63, 164, 475, 576})
        EXPECT_EQ(getpixel(frame, x, 20), stale) << x;
}

class Panels : public ScreenTest {};

TEST_F(Panels, DarkenByHalfInsideAndOnlyThereAndStayTranslucent)
{
    const int under = makecol(200, 160, 80);
    clear_to_color(frame, under);
    draw_panel(frame, 60, 44, 200, 392);
    for (auto [x, y] : {std::pair{64, 48}, {255, 431}, {160, 240}}) {
        const Rgb seen = rgb_at(frame, x, y);
        EXPECT_NEAR(seen.r, 100, 8);
        EXPECT_NEAR(seen.g, 80, 8);
        EXPECT_NEAR(seen.b, 40, 8);
    }
    for (auto [x, y] : {std::pair{59, 100}, {260, 100}, {100, 43}, {100, 436}})
        EXPECT_EQ(getpixel(frame, x, y), under) << x << "," << y;
    // The frame from the outside in: black, white, white, black, all at half strength.
    const int mid = rgb_of(under).sum();
    EXPECT_LT(rgb_at(frame, 60, 200).sum(), mid);
    EXPECT_GT(rgb_at(frame, 61, 200).sum(), mid);
    EXPECT_GT(rgb_at(frame, 258, 200).sum(), mid);
    EXPECT_LT(rgb_at(frame, 259 - 3, 200).sum(), mid);
    EXPECT_GT(rgb_at(frame, 100, 434).sum(), mid);
    // Nothing switches back: a later putpixel blends at 128.
    clear_bitmap(frame);
    putpixel(frame, 1, 1, makecol(240, 240, 240));
    EXPECT_NEAR(rgb_at(frame, 1, 1).g, 120, 8);
}

} // namespace
