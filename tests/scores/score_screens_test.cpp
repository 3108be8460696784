// The name-entry and table screens, drawn into a memory "screen" with scripted keys.
#include <algorithm>
#include <allegro.h>
#include <climits>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/colors.h"
#include "game/player.h"
#include "scores/name_edit.h"
#include "scores/score_layout.h"
#include "scores/score_screens.h"
#include "scores/table.h"
#include "support/headless.h"

namespace {

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, count = 0;
    int center_x() const { return (left + right + 1) / 2; }
};

// The pixels of exactly `color` in the band of rows [y0, y0 + h) between x0 and x1.
Box ink(BITMAP* b, int color, int y0, int h = 8, int x0 = 0, int x1 = 640)
{
    Box box;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x1; x++)
            if (getpixel(b, x, y) == color) {
                box.left = std::min(box.left, x), box.right = std::max(box.right, x);
                box.top = std::min(box.top, y), box.count++;
            }
    return box;
}

bool same_pixels(BITMAP* a, BITMAP* b)
{
    for (int y = 0; y < a->h; y++)
        if (std::memcmp(a->line[y], b->line[y], a->w * ((bitmap_color_depth(a) + 7) / 8)) != 0)
            return false;
    return true;
}

BITMAP* copy_of(BITMAP* b)
{
    BITMAP* c = create_bitmap(b->w, b->h);
    blit(b, c, 0, 0, 0, 0, b->w, b->h);
    return c;
}

// The scripted keyboard: each read takes the next code (scan code above the character, as
// readkey gives it) and keeps the picture the player saw while waiting.
BITMAP* shown = nullptr;
std::deque<int> script;
std::vector<BITMAP*> frames;
int waits = 0;

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

const KeySource scripted = {[] { waits++; }, scripted_key};
const int enter = KEY_ENTER << 8 | key_code_enter, backspace = KEY_BACKSPACE << 8 | key_code_backspace;

// Stripes on a warm background, under a full table of "Old0".."Old9" scoring 50; two players.
class ScoreScreens : public testing::Test {
protected:
    void SetUp() override
    {
        install_fake_game_data();
        solid_mode();
        shown = target = create_bitmap(screen_width, screen_height);
        clear_to_color(target, makecol(200, 160, 120));
        for (int x = 0; x < screen_width; x += 40)
            rectfill(target, x, 0, x + 9, screen_height - 1, color_white);
        before = copy_of(target);
        waits = 0;
        players = test_players;
        player_count = 2;
        for (int i = 0; i < high_score_count; i++) {
            copy_field(high_score_table.name_texts[i], ("Old" + std::to_string(i)).c_str());
            copy_field(high_score_table.score_texts[i], "50");
        }
    }
    void TearDown() override
    {
        for (BITMAP* f : frames)
            destroy_bitmap(f);
        frames.clear();
        script.clear();
        destroy_bitmap(target);
        destroy_bitmap(before);
        remove_fake_game_data();
        solid_mode();
        players = nullptr;
        player_count = 1;
        high_score_table = {};
    }
    Box typed_name(BITMAP* frame) const
    {
        return ink(frame, makecol(typed_name_r, typed_name_g, typed_name_b), typed_name_y, name_band_height);
    }
    BITMAP* target = nullptr;
    BITMAP* before = nullptr;
    Player test_players[2] = {};
};

} // namespace

TEST_F(ScoreScreens, ShadowTextIsCentredVerbatimOverABlackShadowTwoPixelsDownAndRight)
{
    auto draw = [&](const char* text) {
        clear_to_color(target, makecol(0, 0, 255));
        draw_shadow_text(target, font, 300, 60, color_white, text);
        return ink(target, color_white, 0, 480);
    };
    for (const char* text : {"HH", "Wj Xq"}) {
        Box face = draw(text), shadow = ink(target, color_black, 0, 480);
        EXPECT_GE(face.left, 300 - text_length(font, text) / 2) << text;
        EXPECT_NEAR(face.center_x(), 300, 2) << text;
        EXPECT_GE(face.top, 60) << text;
        EXPECT_EQ(shadow.left, face.left + shadow_offset) << text;
        EXPECT_EQ(shadow.top, face.top + shadow_offset) << text;
    }
    // "%" is an ordinary character: four of them draw twice the ink of two.
    EXPECT_EQ(draw("%%%%").count, 2 * draw("%%").count);
    EXPECT_EQ(draw("%s%d").count, draw("%%").count + draw("sd").count);
}

TEST_F(ScoreScreens, TableIsShownDimmedWithItsTextsAndTheScreenGivenBack)
{
    high_score_table.name_texts[4][0] = high_score_table.score_texts[4][0] = '\0';
    script = {KEY_X << 8 | 'x'};
    show_high_scores_on(target, scripted);
    ASSERT_EQ(frames.size(), 1u);
    BITMAP* frame = frames[0];
    for (int x : {3, 43, 639}) { // away from any text: about a quarter as bright
        int was = getpixel(before, x, 470), now = getpixel(frame, x, 470);
        EXPECT_NEAR(getr(now), getr(was) / 4, 9);
        EXPECT_NEAR(getg(now), getg(was) / 4, 9);
        EXPECT_NEAR(getb(now), getb(was) / 4, 9);
    }
    EXPECT_NEAR(ink(frame, color_highlight, high_scores_title_y).center_x(), center_x, 2);
    for (int i = 0; i < high_score_count; i++) {
        int y = table_first_row_y + table_row_step * i;
        Box name = ink(frame, color_white, y, 8, 0, center_x), score = ink(frame, color_white, y, 8, center_x);
        if (i == 4) {
            EXPECT_EQ(name.count + score.count, 0) << "an empty entry shows as nothing";
        } else {
            EXPECT_NEAR(name.center_x(), table_name_x, 2) << i;
            EXPECT_NEAR(score.center_x(), table_score_x, 2) << i;
        }
    }
    EXPECT_TRUE(same_pixels(target, before));
    // Translucent drawing stays in force on purpose: later primitives blend.
    rectfill(before, 0, 0, 3, 3, color_black);
    EXPECT_NE(getpixel(before, 1, 1), color_black);
}

TEST_F(ScoreScreens, NameEntryRedrawsTheNameAfterEveryKeyTakesOnlyANonEmptyNameAndSkipsALowScore)
{
    script = {KEY_B << 8 | 'B', KEY_O << 8 | 'o', KEY_B << 8 | 'b', backspace, KEY_7 << 8 | '7', KEY_F1 << 8,
              backspace, backspace, backspace, backspace, enter, KEY_Z << 8 | 'Z', enter};
    enter_high_score_on(target, scripted, "P1", 250);
    ASSERT_EQ(frames.size(), 13u);
    EXPECT_EQ(waits, 13);
    EXPECT_NEAR(ink(frames[0], color_highlight, new_high_score_y).center_x(), center_x, 2);
    EXPECT_NEAR(ink(frames[0], color_white, enter_name_y).center_x(), center_x, 2);
    std::vector<int> counts;
    for (BITMAP* f : frames) {
        counts.push_back(typed_name(f).count);
        EXPECT_NEAR(counts.back() ? typed_name(f).center_x() : center_x, center_x, 2) << counts.size();
    }
    // The band is wiped before each redraw, so the ink follows the name's length.
    EXPECT_LT(counts[0], counts[1]);
    EXPECT_GT(counts[3], counts[4]);
    EXPECT_EQ(counts[2], counts[4]);
    EXPECT_EQ(counts[4], counts[6]); // the digit and F1 changed nothing
    EXPECT_EQ(counts[10] + counts[11], 0); // Enter on the empty name was refused
    EXPECT_STREQ(high_score_table.name_texts[0], "Z");
    EXPECT_STREQ(high_score_table.score_texts[0], "250");
    EXPECT_STREQ(high_score_table.name_texts[1], "Old0");
    EXPECT_TRUE(same_pixels(target, before));

    HighScoreTable kept = high_score_table;
    enter_high_score_on(target, scripted, "Player 1", 49);
    EXPECT_EQ(frames.size(), 13u);
    EXPECT_EQ(std::memcmp(&kept, &high_score_table, sizeof kept), 0);
    EXPECT_TRUE(same_pixels(target, before));
}

TEST_F(ScoreScreens, PlayersAreAskedInTurnATieRanksPlayerTwoAboveAndZeroEntersAnEmptyTable)
{
    test_players[0].score = test_players[1].score = 120;
    script = {enter, enter};
    enter_high_scores_on(target, scripted);
    EXPECT_STREQ(high_score_table.name_texts[0], "Player 2");
    EXPECT_STREQ(high_score_table.name_texts[1], "Player 1");
    EXPECT_STREQ(high_score_table.name_texts[2], "Old0");

    test_players[0].score = 10; // only Player 2 qualifies: one screen
    test_players[1].score = 60;
    script = {enter};
    enter_high_scores_on(target, scripted);
    EXPECT_EQ(frames.size(), 3u);
    EXPECT_STREQ(high_score_table.score_texts[2], "60");

    high_score_table = {}; // a player who topped out ends on 0, which still enters
    player_count = 1;
    test_players[0].score = 0;
    script = {enter};
    enter_high_scores_on(target, scripted);
    EXPECT_STREQ(high_score_table.name_texts[0], "Player 1");
    EXPECT_STREQ(high_score_table.score_texts[0], "0");
}
