// Drawing the wells, the scores and clock, the panels and the game-over overlay.
#include "screen_fixture.h"

#include <string>

#include "app/colors.h"
#include "screens/game_over.h"
#include "screens/hud.h"
#include "screens/panel.h"
#include "screens/well_view.h"

namespace {

// The white pixels of a rectangle, as y * 640 + x.
std::vector<int> white_in(BITMAP* bmp, int x0, int y0, int x1, int y1)
{
    std::vector<int> ink;
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (getpixel(bmp, x, y) == color_white)
                ink.push_back(y * 640 + x);
    return ink;
}

// The same rectangle of a black image with only `text` written at (x, y).
std::vector<int> white_of(Asset font, const std::string& text, int x, int y, int x0, int y0, int x1,
                          int y1)
{
    BITMAP* scratch = create_bitmap(640, 480);
    clear_bitmap(scratch);
    textout_ex(scratch, asset_font(font), text.c_str(), x, y, color_white, -1);
    std::vector<int> ink = white_in(scratch, x0, y0, x1, y1);
    destroy_bitmap(scratch);
    return ink;
}

int width_of(const std::string& text, Asset font = Asset::normal_font)
{
    return text_length(asset_font(font), text.c_str());
}

class Drawing : public ScreenTest {
protected:
    BITMAP* background = create_bitmap(640, 480);
    const int stale = makecol(120, 0, 0);

    void SetUp() override
    {
        ScreenTest::SetUp();
        clear_to_color(background, makecol(30, 60, 90));
        start_empty_game(2);
    }
    void TearDown() override
    {
        destroy_bitmap(background);
        ScreenTest::TearDown();
    }
    // A game whose wells (rows 0-11) are empty, at rise 0, wells at the game's places.
    void start_empty_game(int count)
    {
        start_game(count);
        for (int i = 0; i < count; i++) {
            attach_well(i, frame, i == 0 ? 64 : 384, 48);
            for (int row = 0; row < well_rows; row++)
                for (Cell& cell : players[i].grid[row])
                    cell = Cell{0, CELL_IDLE, 0, 0, 0};
            players[i].rise = 0;
        }
    }
    Cell& cell(int row, int col) { return players[0].grid[row][col]; }
    // A pixel that a tile was blended onto: off the well's background, towards the tile.
    bool tinted(int x, int y, int tile, BITMAP* bmp = nullptr)
    {
        const Rgb bg = rgb_at(players[0].background, 100, 100);
        const Rgb seen = rgb_at(bmp ? bmp : players[0].view, x, y), want = rgb_of(fake_tile_color(tile));
        return distance(seen, bg) > 0 && distance(seen, want) < distance(bg, want);
    }
    int tinted_run(int x, int from, int to, int tile)
    {
        int n = 0;
        for (int y = from; y <= to; y++)
            n += tinted(x, y, tile);
        return n;
    }
};
using Wells = Drawing;
using Hud = Drawing;
using Panel = Drawing;
using GameOver = Drawing;

TEST_F(Wells, PreviewRowShowsExactlyRisePixelsAndRowZeroLosesThemInEachPlayersPlace)
{
    cell(0, 1) = Cell{3, CELL_IDLE, 0, 0, 0};
    players[1].grid[11][5] = Cell{2, CELL_IDLE, 0, 0, 0};
    for (int rise : {0, 1, 7, 31}) {
        players[0].rise = static_cast<int8_t>(rise);
        draw_wells();
        for (int col = 0; col < well_cols; col++)
            EXPECT_EQ(tinted_run(32 * col + 16, 300, 383, players[0].grid[12][col].color), rise)
                << "rise " << rise << " column " << col;
        EXPECT_EQ(tinted_run(48, 0, 63, 3), 32 - rise) << "rise " << rise;
    }
    EXPECT_TRUE(tinted(575, 431, 2, frame)); // player 2's well, through the frame
    EXPECT_TRUE(tinted(64 + 32 + 16, 48, 3, frame));
}

TEST_F(Wells, SwappingBlocksSlideTowardsEachOtherTheRightOneOnTopAndFallingOnesByTheirOffset)
{
    for (int8_t offset : {8, 16, 24}) {
        cell(10, 2) = Cell{1, CELL_SWAPPING, 0, offset, 0};
        cell(10, 3) = Cell{2, CELL_SWAPPING, 0, static_cast<int8_t>(-offset), 0};
        draw_well(players[0]);
        for (int x = 56; x < 136; x++) {
            const bool right = x >= 96 - offset && x <= 127 - offset;
            EXPECT_EQ(tinted(x, 336, 2), right) << int(offset) << " x " << x;
            if (!right) {
                EXPECT_EQ(tinted(x, 336, 1), x >= 64 + offset && x <= 95 + offset)
                    << int(offset) << " x " << x;
            }
        }
    }
    cell(9, 0) = Cell{5, CELL_FALLING, 16, 0, 0};
    draw_well(players[0]);
    EXPECT_EQ(tinted_run(10, 250, 383, 5), 32);
    EXPECT_FALSE(tinted(10, 9 * 32 + 15, 5));
    EXPECT_TRUE(tinted(10, 10 * 32 + 15, 5));
}

TEST_F(Wells, ClearingBlocksAreDrawnByTheirGroupFadingWithItsTimer)
{
    cell(11, 0) = Cell{3, CELL_CLEARING, 0, 0, 0};
    draw_well(players[0]);
    EXPECT_FALSE(tinted(16, 368, 3)); // no group, no block
    ActionGroup* group = push_group(players[0].groups, GROUP_CLEAR);
    ASSERT_TRUE(group && push_group_cell(group, 11, 0));
    int previous = -1;
    for (int8_t timer : {118, 80, 40, 2}) {
        group->timer = timer;
        draw_well(players[0]);
        EXPECT_TRUE(tinted(16, 368, 3)) << int(timer);
        const int away = distance(rgb_at(players[0].view, 16, 368), rgb_of(fake_tile_color(3)));
        EXPECT_GT(away, previous) << "timer " << int(timer) << " should look fainter";
        previous = away;
    }
}

TEST_F(Wells, CursorFrameFollowsBitFourOfTheClockAndTheRise)
{
    players[0].rise = 10;
    const int x = 32 * 2 - 6, y = 32 * 5 - 10 - 6;
    const int frames[] = {getpixel(asset_bitmap(Asset::cursor_a), 0, 0),
                          getpixel(asset_bitmap(Asset::cursor_b), 0, 0)};
    for (auto [ticks, want] : {std::pair{0u, 0}, {15u, 0}, {16u, 1}, {31u, 1}, {32u, 0}, {0xFFFFFFF0u, 1}}) {
        tick_count = ticks;
        draw_well(players[0]);
        EXPECT_EQ(getpixel(players[0].view, x, y), frames[want]) << ticks;
        EXPECT_NE(getpixel(players[0].view, x - 1, y), frames[want]) << ticks;
        EXPECT_NE(getpixel(players[0].view, x, y - 1), frames[want]) << ticks;
    }
}

TEST_F(Hud, ClockAndScoresAreWrittenInPlaceOverTheirRestoredPatches)
{
    clear_to_color(frame, stale);
    for (auto [ticks, want] : {std::pair{7200, "2:00"}, {7199, "1:59"}, {3600, "1:00"}, {3599, "0:59"},
                               {59, "0:00"}, {0, "0:00"}}) {
        char text[clock_text_size];
        format_clock(ticks, text);
        EXPECT_STREQ(text, want) << ticks;
        time_left = ticks;
        draw_hud(frame, background);
        EXPECT_EQ(white_in(frame, 280, 120, 360, 170),
                  white_of(Asset::normal_font, want, 320 - width_of(want) / 2, 130, 280, 120, 360, 170));
    }
    players[0].score = 12345; // player 1's starts at 64, player 2's ends at 576
    for (int32_t score : {0, 7, 450, 123456}) {
        players[1].score = score;
        draw_hud(frame, background);
        const std::string text = std::to_string(score);
        // Rows 12-13 lie above the patch and keep earlier scores' ink: look from 14 down.
        EXPECT_EQ(white_in(frame, 330, 14, 639, 40),
                  white_of(Asset::normal_font, text, 576 - width_of(text), 12, 330, 14, 639, 40)) << score;
    }
    EXPECT_EQ(white_in(frame, 0, 14, 300, 40), white_of(Asset::normal_font, "12345", 64, 12, 0, 14, 300, 40));
    // Just inside each patch's edges the background, just outside them the frame as it was.
    for (auto [x, y] : {std::pair{290, 154}, {349, 130}, {64, 37}, {163, 37}, {476, 37}, {575, 37}})
        EXPECT_EQ(getpixel(frame, x, y), getpixel(background, x, y)) << x << "," << y;
    for (auto [x, y] : {std::pair{289, 140}, {350, 140}, {300, 155}, {300, 129}, {64, 38}, {163, 38}, {476, 38},
                        {575, 38}, {63, 20}, {164, 20}, {475, 20}, {576, 20}})
        EXPECT_EQ(getpixel(frame, x, y), stale) << x << "," << y;
}

TEST_F(Panel, DarkensByHalfInsideAFrameAndOnlyThereAndStaysTranslucent)
{
    const int under = makecol(200, 160, 80), mid = rgb_of(under).sum();
    clear_to_color(frame, under);
    draw_panel(frame, 60, 44, 200, 392);
    for (auto [x, y] : {std::pair{64, 48}, {255, 431}, {160, 240}}) {
        const Rgb seen = rgb_at(frame, x, y);
        for (auto [got, want] : {std::pair{seen.r, 100}, {seen.g, 80}, {seen.b, 40}})
            EXPECT_NEAR(got, want, 8) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{59, 100}, {260, 100}, {100, 43}, {100, 436}})
        EXPECT_EQ(getpixel(frame, x, y), under) << x << "," << y;
    // The frame from the outside in: black, white, white, black; darker or lighter than `under`.
    for (auto [x, y, lighter] :
         {std::tuple{60, 200, false}, {61, 200, true}, {258, 200, true}, {256, 200, false}, {100, 434, true}})
        EXPECT_EQ(rgb_at(frame, x, y).sum() > mid, lighter) << x << "," << y;
    clear_bitmap(frame);
    putpixel(frame, 1, 1, makecol(240, 240, 240)); // a later putpixel still blends at 128
    EXPECT_NEAR(rgb_at(frame, 1, 1).g, 120, 8);
}

TEST_F(GameOver, OnePlayerWellIsDarkenedWithoutTextAndNothingElseIs)
{
    end_game();
    start_empty_game(1);
    const int strip = makecol(250, 250, 100); // stands for the panels and scores
    rectfill(frame, 0, 440, 639, 479, strip);
    draw_wells();
    const int before = rgb_at(frame, 164, 148).sum();
    draw_game_over();
    EXPECT_LT(rgb_at(frame, 164, 148).sum(), before);
    EXPECT_LT(rgb_at(frame, 64, 48).sum(), rgb_at(players[0].background, 0, 0).sum());
    EXPECT_LT(rgb_at(frame, 255, 431).sum(), rgb_at(players[0].background, 191, 383).sum());
    EXPECT_TRUE(white_in(frame, 0, 0, 639, 479).empty());
    for (auto [x, y] : {std::pair{63, 200}, {256, 200}, {100, 47}, {100, 432}, {420, 200}, {10, 460}})
        EXPECT_EQ(getpixel(frame, x, y), y < 440 ? 0 : strip) << x << "," << y;
}

TEST_F(GameOver, HigherScoreWinsInItsOwnWellAndEqualScoresTie)
{
    const struct { int32_t left, right; const char* words[2]; } rows[] = {
        {300, 299, {"WIN!", "LOSE"}}, {40, 41, {"LOSE", "WIN!"}}, {-5, 2147483647, {"LOSE", "WIN!"}}, // signed
        {0, 0, {"TIE!", "TIE!"}},     {120, 120, {"TIE!", "TIE!"}}};
    const int y = 192 - text_height(asset_font(Asset::large_font)) / 2;
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.left) + " : " + std::to_string(row.right));
        players[0].score = row.left, players[1].score = row.right;
        draw_wells();
        draw_game_over();
        for (int i : {0, 1}) {
            const int x = 96 - width_of(row.words[i], Asset::large_font) / 2;
            EXPECT_EQ(white_in(players[i].view, 0, 0, 191, 383),
                      white_of(Asset::large_font, row.words[i], x, y, 0, 0, 191, 383)) << "player " << i + 1;
        }
    }
}

} // namespace
