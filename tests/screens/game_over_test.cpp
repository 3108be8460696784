// The game-over overlay: darkened wells, and who gets "WIN!", "LOSE" or "TIE!".
#include "screen_fixture.h"

#include <vector>

#include "app/colors.h"
#include "screens/game_over.h"
#include "screens/well_view.h"

namespace {

std::vector<int> white_pixels(BITMAP* view)
{
    std::vector<int> ink;
    for (int y = 0; y < 384; y++)
        for (int x = 0; x < 192; x++)
            if (getpixel(view, x, y) == color_white)
                ink.push_back(y * 192 + x);
    return ink;
}

// What `word` leaves in white, centred on a well's middle.
std::vector<int> white_of_word(const char* word)
{
    FONT* big = asset_font(Asset::large_font);
    BITMAP* scratch = create_bitmap(192, 384);
    clear_bitmap(scratch);
    textout_ex(scratch, big, word, 96 - text_length(big, word) / 2, 192 - text_height(big) / 2,
               color_white, -1);
    std::vector<int> ink = white_pixels(scratch);
    destroy_bitmap(scratch);
    return ink;
}

class GameOver : public ScreenTest {
protected:
    Rgb well_before{};
    const int strip = makecol(250, 250, 100); // stands for the panels and scores

    void finish(int count, int32_t score1, int32_t score2 = 0)
    {
        if (players)
            end_game();
        start_empty_game(count);
        rectfill(frame, 0, 440, 639, 479, strip);
        players[0].score = score1;
        if (count == 2)
            players[1].score = score2;
        draw_wells();
        well_before = rgb_at(frame, 164, 148);
        draw_game_over();
    }
    void expect_words(const char* left, const char* right)
    {
        EXPECT_EQ(white_pixels(players[0].view), white_of_word(left)) << left;
        EXPECT_EQ(white_pixels(players[1].view), white_of_word(right)) << right;
    }
};

TEST_F(GameOver, OnePlayerWellIsDarkenedWithoutTextAndNothingElseIs)
{
    finish(1, 250);
    EXPECT_LT(rgb_at(frame, 164, 148).sum(), well_before.sum());
    EXPECT_LT(rgb_at(frame, 64, 48).sum(), rgb_at(players[0].background, 0, 0).sum());
    EXPECT_LT(rgb_at(frame, 255, 431).sum(), rgb_at(players[0].background, 191, 383).sum());
    EXPECT_TRUE(white_pixels(players[0].view).empty());
    EXPECT_EQ(getpixel(frame, 10, 460), strip);
    for (auto [x, y] : {std::pair{63, 200}, {256, 200}, {100, 47}, {100, 432}, {420, 200}})
        EXPECT_EQ(getpixel(frame, x, y), 0) << x << "," << y;
}

TEST_F(GameOver, HigherScoreWinsInItsOwnWell)
{
    finish(2, 300, 299);
    expect_words("WIN!", "LOSE");
    finish(2, 40, 41);
    expect_words("LOSE", "WIN!");
    finish(2, -5, 2147483647); // compared as signed numbers
    expect_words("LOSE", "WIN!");
}

TEST_F(GameOver, EqualScoresTieIncludingZero)
{
    finish(2, 0, 0);
    expect_words("TIE!", "TIE!");
    finish(2, 120, 120);
    expect_words("TIE!", "TIE!");
}

} // namespace
