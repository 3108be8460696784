// The name-entry and table screens, drawn into a memory "screen" with scripted keys.
#include <allegro.h>
#include <climits>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/colors.h"
#include "game/player.h"
#include "scores/name_edit.h"
#include "scores/score_layout.h"
#include "scores/score_screens.h"
#include "scores/table.h"
#include "support/headless.h"

namespace {

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN, count = 0;
    int center_x() const { return (left + right + 1) / 2; }
};

// The pixels of exactly `color` inside the rectangle [x0,x1) x [y0,y1).
Box ink(BITMAP* b, int color, int x0, int y0, int x1, int y1)
{
    Box box;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (getpixel(b, x, y) == color) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                box.count++;
            }
    return box;
}

bool same_pixels(BITMAP* a, BITMAP* b)
{
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            if (getpixel(a, x, y) != getpixel(b, x, y))
                return false;
    return true;
}

BITMAP* copy_of(BITMAP* b)
{
    BITMAP* c = create_bitmap(b->w, b->h);
    blit(b, c, 0, 0, 0, 0, b->w, b->h);
    return c;
}

// The scripted keyboard: each read takes the next code and keeps a picture of the
// screen as the player saw it while the screen waited.
BITMAP* shown = nullptr;
std::deque<int> script;
std::vector<BITMAP*> frames;
int waits = 0;

void count_wait() { waits++; }

int scripted_key()
{
    frames.push_back(copy_of(shown));
    if (script.empty()) {
        ADD_FAILURE() << "the screen asked for more keys than the script holds";
        return frames.size() % 2 ? 'Q' : key_code_enter; // ends any name entry
    }
    int code = script.front();
    script.pop_front();
    return code;
}

const KeySource scripted = {count_wait, scripted_key};

class ScoreScreens : public testing::Test {
protected:
    void SetUp() override
    {
        install_fake_game_data();
        solid_mode();
        high_score_table = {};
        target = create_bitmap(overlay_width, overlay_height);
        // A picture with something in every part of the screen.
        clear_to_color(target, makecol(200, 160, 120));
        for (int x = 0; x < overlay_width; x += 40)
            rectfill(target, x, 0, x + 9, overlay_height - 1, makecol(255, 255, 255));
        before = copy_of(target);
        shown = target;
        script.clear();
        waits = 0;
        players = two_players;
        player_count = 2;
    }
    void TearDown() override
    {
        for (BITMAP* f : frames)
            destroy_bitmap(f);
        frames.clear();
        destroy_bitmap(target);
        destroy_bitmap(before);
        remove_fake_game_data();
        solid_mode();
        players = nullptr;
        player_count = 1;
        high_score_table = {};
    }
    void fill_table(const char* score)
    {
        for (int i = 0; i < high_score_count; i++) {
            copy_field(high_score_table.name_texts[i], ("Old" + std::to_string(i)).c_str());
            copy_field(high_score_table.score_texts[i], score);
        }
    }
    int green() const { return makecol(typed_name_r, typed_name_g, typed_name_b); }
    Box typed_ink(BITMAP* frame) const
    {
        return ink(frame, green(), 0, typed_name_y, overlay_width, typed_name_y + name_band_height);
    }

    BITMAP* target = nullptr;
    BITMAP* before = nullptr;
    Player two_players[2] = {};
};

int white_ink_count(const char* text)
{
    BITMAP* b = create_bitmap(200, 20);
    clear_to_color(b, makecol(0, 0, 255));
    draw_shadow_text(b, font, 100, 4, color_white, text);
    int count = ink(b, color_white, 0, 0, b->w, b->h).count;
    destroy_bitmap(b);
    return count;
}

} // namespace

TEST_F(ScoreScreens, ShadowTextHasABlackShadowTwoPixelsDownAndRight)
{
    clear_to_color(target, makecol(0, 0, 255));
    draw_shadow_text(target, font, 100, 40, color_white, "Wj Xq");
    Box text = ink(target, color_white, 0, 0, 640, 480);
    Box shadow = ink(target, color_black, 0, 0, 640, 480);
    ASSERT_GT(text.count, 0);
    ASSERT_GT(shadow.count, 0);
    EXPECT_EQ(shadow.left, text.left + shadow_offset);
    EXPECT_EQ(shadow.top, text.top + shadow_offset);
    // Every shadow pixel has its text pixel up and to the left, drawn later on top.
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++)
            if (getpixel(target, x, y) == color_black) {
                ASSERT_EQ(getpixel(target, x - shadow_offset, y - shadow_offset), color_white) << x << "," << y;
            }
}

TEST_F(ScoreScreens, ShadowTextIsCentredOnXWithItsTopAtY)
{
    for (const char* text : {"HH", "HHHH", "Player 1"}) {
        clear_to_color(target, makecol(0, 0, 255));
        draw_shadow_text(target, font, 300, 60, color_white, text);
        Box box = ink(target, color_white, 0, 0, 640, 480);
        int half = text_length(font, text) / 2;
        EXPECT_GE(box.left, 300 - half) << text;
        EXPECT_LT(box.right, 300 + half) << text;
        EXPECT_NEAR(box.center_x(), 300, 2) << text;
        EXPECT_GE(box.top, 60) << text;
        EXPECT_LT(box.bottom, 60 + text_height(font)) << text;
    }
}

TEST_F(ScoreScreens, PercentSignsAreDrawnAsOrdinaryCharacters)
{
    int one = white_ink_count("%");
    ASSERT_GT(one, 0);
    EXPECT_EQ(white_ink_count("%%%%"), 4 * one);
    EXPECT_EQ(white_ink_count("%s%n%d"), 3 * one + white_ink_count("snd"));
}

TEST_F(ScoreScreens, TableIsShownDimmedWithItsTextsAndTheScreenGivenBack)
{
    fill_table("0");
    high_score_table.name_texts[4][0] = '\0';
    high_score_table.score_texts[4][0] = '\0';
    script = {'x'};
    show_high_scores_on(target, scripted);
    ASSERT_EQ(frames.size(), 1u);
    BITMAP* frame = frames[0];

    // Away from any text the picture is about a quarter as bright.
    for (int x : {3, 43, 639}) {
        int was = getpixel(before, x, 470), now = getpixel(frame, x, 470);
        EXPECT_NEAR(getr(now), getr(was) / 4, 9) << x;
        EXPECT_NEAR(getg(now), getg(was) / 4, 9) << x;
        EXPECT_NEAR(getb(now), getb(was) / 4, 9) << x;
    }
    Box title = ink(frame, color_highlight, 0, high_scores_title_y, 640, high_scores_title_y + text_height(font));
    EXPECT_GT(title.count, 0);
    EXPECT_NEAR(title.center_x(), center_x, 2);
    for (int i = 0; i < high_score_count; i++) {
        int y = table_first_row_y + table_row_step * i;
        Box name = ink(frame, color_white, 0, y, center_x, y + text_height(font));
        Box score = ink(frame, color_white, center_x, y, 640, y + text_height(font));
        if (i == 4) {
            EXPECT_EQ(name.count + score.count, 0) << "an empty entry shows as nothing";
            continue;
        }
        EXPECT_NEAR(name.center_x(), table_name_x, 2) << i;
        EXPECT_NEAR(score.center_x(), table_score_x, 2) << i;
    }
    EXPECT_TRUE(same_pixels(target, before));
}

// The overlays leave translucent drawing in force on purpose; later primitives blend.
TEST_F(ScoreScreens, TableLeavesTranslucentDrawingInForce)
{
    script = {'x'};
    show_high_scores_on(target, scripted);
    BITMAP* probe = create_bitmap(4, 4);
    clear_to_color(probe, color_white);
    rectfill(probe, 0, 0, 3, 3, color_black);
    EXPECT_NE(getpixel(probe, 1, 1), color_black);
    EXPECT_NE(getpixel(probe, 1, 1), color_white);
    destroy_bitmap(probe);
}

TEST_F(ScoreScreens, NameEntryShowsItsCaptionsAndTheTypedNameAsItChanges)
{
    fill_table("0");
    // As readkey gives them: scan code above, character code below; F1 has no character.
    script = {KEY_B << 8 | 'B', KEY_O << 8 | 'o', KEY_B << 8 | 'b', KEY_BACKSPACE << 8 | key_code_backspace,
              KEY_7 << 8 | '7', KEY_F1 << 8, KEY_ENTER << 8 | key_code_enter};
    enter_high_score_on(target, scripted, "Player 1", 250);
    ASSERT_EQ(frames.size(), 7u);
    EXPECT_EQ(waits, 7);

    BITMAP* first = frames[0];
    Box heading = ink(first, color_highlight, 0, new_high_score_y, 640, new_high_score_y + text_height(font));
    Box prompt = ink(first, color_white, 0, enter_name_y, 640, enter_name_y + text_height(font));
    EXPECT_NEAR(heading.center_x(), center_x, 2);
    EXPECT_NEAR(prompt.center_x(), center_x, 2);

    // The band is wiped before each redraw, so the name's ink follows its length.
    std::vector<int> counts;
    for (BITMAP* f : frames) {
        Box name = typed_ink(f);
        EXPECT_NEAR(name.center_x(), center_x, 2);
        counts.push_back(name.count);
    }
    EXPECT_LT(counts[0], counts[1]);
    EXPECT_LT(counts[2], counts[3]);
    EXPECT_GT(counts[3], counts[4]); // after the backspace
    EXPECT_EQ(counts[2], counts[4]);
    EXPECT_EQ(counts[4], counts[5]); // the digit was ignored
    EXPECT_EQ(counts[5], counts[6]); // and so was F1

    EXPECT_STREQ(high_score_table.name_texts[0], "Player 1Bo");
    EXPECT_STREQ(high_score_table.score_texts[0], "250");
    EXPECT_STREQ(high_score_table.name_texts[1], "Old0");
    EXPECT_TRUE(same_pixels(target, before));
}

TEST_F(ScoreScreens, EnterOnAnEmptyNameIsIgnoredUntilANameIsTyped)
{
    fill_table("0");
    script = {key_code_backspace, key_code_backspace, key_code_enter, 'Z', key_code_enter};
    enter_high_score_on(target, scripted, "P1", 5);
    EXPECT_EQ(frames.size(), 5u);
    EXPECT_STREQ(high_score_table.name_texts[0], "Z");
    EXPECT_EQ(typed_ink(frames[2]).count, 0);
}

TEST_F(ScoreScreens, ScoreThatDoesNotEnterShowsNothing)
{
    fill_table("50");
    HighScoreTable kept = high_score_table;
    enter_high_score_on(target, scripted, "Player 1", 49);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(waits, 0);
    EXPECT_EQ(std::memcmp(&kept, &high_score_table, sizeof kept), 0);
    EXPECT_TRUE(same_pixels(target, before));
}

TEST_F(ScoreScreens, EqualScoresOfTwoPlayersPutPlayerTwoAbove)
{
    fill_table("0");
    two_players[0].score = 120;
    two_players[1].score = 120;
    script = {key_code_enter, key_code_enter};
    enter_high_scores_on(target, scripted);
    EXPECT_EQ(frames.size(), 2u);
    EXPECT_STREQ(high_score_table.name_texts[0], "Player 2");
    EXPECT_STREQ(high_score_table.name_texts[1], "Player 1");
    EXPECT_STREQ(high_score_table.name_texts[2], "Old0");
}

TEST_F(ScoreScreens, OnlyTheQualifyingPlayerIsAsked)
{
    fill_table("50");
    two_players[0].score = 10;
    two_players[1].score = 60;
    script = {key_code_enter};
    enter_high_scores_on(target, scripted);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_STREQ(high_score_table.name_texts[0], "Player 2");
    EXPECT_STREQ(high_score_table.score_texts[0], "60");
}

// A player who topped out ends on 0, which still enters a fresh or default table.
TEST_F(ScoreScreens, ToppedOutScoreOfZeroStillEntersAnEmptyTable)
{
    player_count = 1;
    two_players[0].score = 0;
    script = {key_code_enter};
    enter_high_scores_on(target, scripted);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_STREQ(high_score_table.name_texts[0], "Player 1");
    EXPECT_STREQ(high_score_table.score_texts[0], "0");
    EXPECT_TRUE(same_pixels(target, before));
}
