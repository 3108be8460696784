// The game-over overlay: darkened wells, and who gets "WIN!", "LOSE" or "TIE!".
#include "screen_fixture.h"

#include <vector>

#include "app/colors.h"
#include "screens/game_over.h"
#include "screens/well_view.h"

namespace {

// The white pixels `word` leaves in a well when centred on the well's middle.
std::vector<int> white_of_word(const char* word)
{
    FONT* big = asset_font(Asset::large_font);
    BITMAP* scratch = create_bitmap(192, 384);
    clear_bitmap(scratch);
    textout_ex(scratch, big, word, 96 - text_length(big, word) / 2, 192 - text_height(big) / 2,
               color_white, -1);
    std::vector<int> ink;
    for (int y = 0; y < 384; y++)
        for (int x = 0; x < 192; x++)
            if (getpixel(scratch, x, y) == color_white)
                ink.push_back(y * 192 + x);
    destroy_bitmap(scratch);
    return ink;
}

std::vector<int> white_in(BITMAP* view)
{
    std::vector<int> ink;
    for (int y = 0; y < 384; y++)
        for (int x = 0; x < 192; x++)
            if (getpixel(view, x, y) == color_white)
                ink.push_back(y * 192 + x);
    return ink;
}

class GameOver : public ScreenTest {
protected:
    // A finished game: wells drawn, a bright strip outside them standing for the panels.
    void finish(int count, int32_t score1, int32_t score2 = 0)
    {
        start_empty_game(count);
        rectfill(frame, 0, 440, 639, 479, makecol(250, 250, 100));
        players[0].score = score1;
        if (count == 2)
            players[1].score = score2;
        draw_wells();
        before_left = rgb_at(frame, 64 + 100, 48 + 100);
        before_right = rgb_at(frame, 384 + 100, 48 + 100);
        draw_game_over();
    }

    Rgb before_left{}, before_right{};
};

bool darker(Rgb now, Rgb before)
{
    return now.r + now.g + now.b < before.r + before.g + before.b;
}

TEST_F(GameOver, OnePlayerWellIsDarkenedWithoutText)
{
    finish(1, 250);
    EXPECT_TRUE(darker(rgb_at(frame, 164, 148), before_left));
    EXPECT_TRUE(white_in(players[0].view).empty());
    // Outside the well nothing changes: not the strip, not the empty right side.
    EXPECT_EQ(getpixel(frame, 10, 460), makecol(250, 250, 100));
    EXPECT_EQ(getpixel(frame, 420, 200), 0);
    EXPECT_EQ(getpixel(frame, 63, 200), 0);
}

TEST_F(GameOver, DarkeningCoversTheWholeWellAndStopsAtItsEdge)
{
    finish(2, 10, 20);
    for (int player = 0; player < 2; player++) {
        const int x0 = player == 0 ? 64 : 384;
        BITMAP* bg = players[player].background;
        EXPECT_TRUE(darker(rgb_at(frame, x0, 48), rgb_of(getpixel(bg, 0, 0)))) << player;
        EXPECT_TRUE(darker(rgb_at(frame, x0 + 191, 48 + 383), rgb_of(getpixel(bg, 191, 383))))
            << player;
        EXPECT_EQ(getpixel(frame, x0 - 1, 48), 0) << player;
        EXPECT_EQ(getpixel(frame, x0 + 192, 48), 0) << player;
        EXPECT_EQ(getpixel(frame, x0, 47), 0) << player;
        EXPECT_EQ(getpixel(frame, x0, 48 + 384), 0) << player;
    }
    EXPECT_EQ(getpixel(frame, 10, 460), makecol(250, 250, 100));
}

TEST_F(GameOver, HigherLeftScoreWins)
{
    finish(2, 300, 299);
    EXPECT_EQ(white_in(players[0].view), white_of_word("WIN!"));
    EXPECT_EQ(white_in(players[1].view), white_of_word("LOSE"));
}

TEST_F(GameOver, PlayerTwoWinningPutsWinInTheRightWell)
{
    finish(2, 40, 41);
    EXPECT_EQ(white_in(players[0].view), white_of_word("LOSE"));
    EXPECT_EQ(white_in(players[1].view), white_of_word("WIN!"));
}

TEST_F(GameOver, EqualScoresTieIncludingZero)
{
    for (int32_t score : {0, 120}) {
        finish(2, score, score);
        EXPECT_EQ(white_in(players[0].view), white_of_word("TIE!")) << score;
        EXPECT_EQ(white_in(players[1].view), white_of_word("TIE!")) << score;
        end_game();
    }
}

TEST_F(GameOver, NegativeAndHugeScoresCompareAsSigned)
{
    finish(2, -5, 2147483647);
    EXPECT_EQ(white_in(players[1].view), white_of_word("WIN!"));
    EXPECT_EQ(white_in(players[0].view), white_of_word("LOSE"));
}

TEST_F(GameOver, ShadowLiesTwoPixelsDownAndRight)
{
    finish(2, 1, 0);
    const std::vector<int> ink = white_of_word("WIN!");
    ASSERT_FALSE(ink.empty());
    // Some shadow pixel is not covered by the white text; it is black.
    int shadows = 0;
    for (int p : ink) {
        const int x = p % 192 + 2, y = p / 192 + 2;
        if (getpixel(players[0].view, x, y) == color_black)
            shadows++;
    }
    EXPECT_GT(shadows, 0);
    // Up and left of the text there is no shadow.
    int wrong_way = 0;
    for (int p : ink) {
        const int x = p % 192 - 2, y = p / 192 - 2;
        if (getpixel(players[0].view, x, y) == color_black)
            wrong_way++;
    }
    EXPECT_LT(wrong_way, shadows);
}

TEST_F(GameOver, LeavesTranslucentDrawingAtLevel192)
{
    finish(1, 0);
    BITMAP* other = create_bitmap(4, 4);
    clear_to_color(other, makecol(255, 255, 255));
    putpixel(other, 1, 1, color_black);
    const Rgb seen = rgb_at(other, 1, 1);
    // Black over white at three-quarters: a quarter of white is left.
    EXPECT_NEAR(seen.g, 255 / 4, 10);
    destroy_bitmap(other);
}

} // namespace
