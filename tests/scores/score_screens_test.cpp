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
#include "app/shadow_text.h"
#include "scores/name_edit.h"
#include "scores/score_layout.h"
#include "scores/score_screens.h"
#include "scores/scores_text.h"
#include "support/headless.h"

namespace {

struct Box {
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, count = 0;
    int center_x() const { return (left + right + 1) / 2; }
};

// The pixels of exactly `color` in the band of rows [y0, y0 + h) between x0 and x1.
Box ink(BITMAP* b, int color, int y0, int h = 8, int x0 = 0, int x1 = screen_width)
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
bool refuse_images = false;

int scripted_key()
{
    frames.push_back(copy_of(shown));
    if (script.empty()) {
        ADD_FAILURE() << "the screen asked for more keys than the script holds";
        return frames.size() % 2 ? 'Q' : key_code_enter; // ends any name entry
    }
    const int code = script.front();
    script.pop_front();
    return code;
}

BITMAP* make_image(int w, int h)
{
    return refuse_images ? nullptr : create_bitmap(w, h);
}

const int enter = KEY_ENTER << 8 | key_code_enter, backspace = KEY_BACKSPACE << 8 | key_code_backspace;

// Stripes on a warm background, under a full table of "Old0".."Old9" scoring 50.
class ScoreScreens : public testing::Test {
protected:
    void SetUp() override
    {
        install_fake_game_data();
        drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
        shown = target = create_bitmap(screen_width, screen_height);
        clear_to_color(target, makecol(200, 160, 120));
        for (int x = 0; x < screen_width; x += 40)
            rectfill(target, x, 0, x + 9, screen_height - 1, color_white);
        before = copy_of(target);
        waits = 0;
        refuse_images = false;
        // Field by field: whatever the record gains later stays empty here.
        io = {};
        io.display = target;
        io.wait_for_retrace = [] { waits++; };
        io.play_sound = [](Asset, int, int) {};
        io.read_fresh_key = scripted_key;
        io.key_waiting = [] { return false; };
        io.make_image = make_image;
        io.free_image = destroy_bitmap;
        fill_table();
    }
    void TearDown() override
    {
        forget_frames();
        script.clear();
        destroy_bitmap(target);
        destroy_bitmap(before);
        remove_fake_game_data();
        drawing_mode(DRAW_MODE_SOLID, nullptr, 0, 0);
    }
    void fill_table()
    {
        for (int i = 0; i < high_score_count; i++) {
            copy_field(table.name_texts[i], ("Old" + std::to_string(i)).c_str());
            copy_field(table.score_texts[i], "50");
        }
    }
    void forget_frames()
    {
        for (BITMAP* f : frames)
            destroy_bitmap(f);
        frames.clear();
    }
    Box typed_name(BITMAP* frame) const
    {
        return ink(frame, makecol(typed_name_r, typed_name_g, typed_name_b), typed_name_y, name_band_height);
    }
    BITMAP* target = nullptr;
    BITMAP* before = nullptr;
    ScreenIo io = {};
    HighScoreTable table = {};
};

} // namespace

TEST_F(ScoreScreens, ShadowTextIsCentredVerbatimOverABlackShadowTwoPixelsDownAndRight)
{
    auto draw = [&](const char* text) {
        clear_to_color(target, makecol(0, 0, 255));
        draw_shadow_text(target, font, 300, 60, color_white, text);
        return ink(target, color_white, 0, screen_height);
    };
    for (const char* text : {"HH", "Wj Xq"}) {
        const Box face = draw(text), shadow = ink(target, color_black, 0, screen_height);
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
    table.name_texts[4][0] = table.score_texts[4][0] = '\0';
    script = {KEY_X << 8 | 'x'};
    show_high_scores(io, table);
    ASSERT_EQ(frames.size(), 1u);
    BITMAP* frame = frames[0];
    for (int x : {3, 43, 639}) { // away from any text: about a quarter as bright
        const int was = getpixel(before, x, 470), now = getpixel(frame, x, 470);
        EXPECT_NEAR(getr(now), getr(was) / 4, 9);
        EXPECT_NEAR(getg(now), getg(was) / 4, 9);
        EXPECT_NEAR(getb(now), getb(was) / 4, 9);
    }
    EXPECT_NEAR(ink(frame, color_highlight, high_scores_title_y).center_x(), screen_centre_x, 2);
    for (int i = 0; i < high_score_count; i++) {
        const int y = table_first_row_y + table_row_step * i;
        const Box name = ink(frame, color_white, y, 8, 0, screen_centre_x), score = ink(frame, color_white, y, 8, screen_centre_x);
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
    HighScoreEntry entered = {};
    EXPECT_TRUE(enter_high_score(io, table, "P1", 250, entered));
    ASSERT_EQ(frames.size(), 13u);
    EXPECT_EQ(waits, 13);
    EXPECT_NEAR(ink(frames[0], color_highlight, new_high_score_y).center_x(), screen_centre_x, 2);
    EXPECT_NEAR(ink(frames[0], color_white, enter_name_y).center_x(), screen_centre_x, 2);
    std::vector<int> counts;
    for (BITMAP* f : frames) {
        counts.push_back(typed_name(f).count);
        EXPECT_NEAR(counts.back() ? typed_name(f).center_x() : screen_centre_x, screen_centre_x, 2) << counts.size();
    }
    // The band is wiped before each redraw, so the ink follows the name's length.
    EXPECT_LT(counts[0], counts[1]);
    EXPECT_GT(counts[3], counts[4]);
    EXPECT_EQ(counts[2], counts[4]);
    EXPECT_EQ(counts[4], counts[6]); // the digit and F1 changed nothing
    EXPECT_EQ(counts[10] + counts[11], 0); // Enter on the empty name was refused
    EXPECT_STREQ(table.name_texts[0], "Z");
    EXPECT_STREQ(table.score_texts[0], "250");
    EXPECT_STREQ(table.name_texts[1], "Old0");
    EXPECT_STREQ(entered.name, "Z");
    EXPECT_STREQ(entered.score, "250");
    EXPECT_TRUE(same_pixels(target, before));
}

// Asked to end mid-entry, the program keeps the name as typed, or the label when none is left.
TEST_F(ScoreScreens, AQuitRequestEntersTheNameTypedSoFar)
{
    const struct {
        std::deque<int> keys; // then the request to end
        const char* name;
    } rows[] = {
        {{}, "Player 1"}, {{KEY_Q << 8 | 'q'}, "Player 1q"}, {std::deque<int>(8, backspace), "Player 1"},
    };
    for (const auto& row : rows) {
        fill_table();
        script = row.keys;
        script.push_back(key_quit);
        HighScoreEntry entered = {};
        EXPECT_TRUE(enter_high_score(io, table, "Player 1", 70, entered));
        EXPECT_STREQ(table.name_texts[0], row.name);
        EXPECT_STREQ(entered.name, row.name);
        EXPECT_TRUE(same_pixels(target, before));
    }
}

// A score that does not enter, or a screen image that cannot be had: no screen, no change.
TEST_F(ScoreScreens, NothingIsShownForALowScoreOrWithoutImages)
{
    const HighScoreTable kept = table;
    HighScoreEntry entered = {};
    EXPECT_FALSE(enter_high_score(io, table, "Player 1", 49, entered));
    refuse_images = true;
    EXPECT_FALSE(enter_high_score(io, table, "Player 1", 1000, entered));
    show_high_scores(io, table);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(std::memcmp(&kept, &table, sizeof kept), 0);
    EXPECT_TRUE(same_pixels(target, before));
}

// A player who topped out ends on 0, which still enters an empty table.
TEST_F(ScoreScreens, PlayersAreAskedInTurnATieRanksPlayerTwoAboveAndZeroEntersAnEmptyTable)
{
    const struct {
        bool empty_table;
        std::vector<int32_t> scores;
        size_t screens;
        std::string top;     // the table's first lines after
        std::string entered; // in player order
    } rows[] = {
        {false, {120, 120}, 2, "Player 2\n120\nPlayer 1\n120\nOld0\n50\n", "Player 1 120,Player 2 120,"},
        {false, {10, 60}, 1, "Player 2\n60\nOld0\n50\n", "Player 2 60,"}, // only Player 2 qualifies
        {false, {0}, 0, "Old0\n50\n", ""},
        {true, {0}, 1, "Player 1\n0\n\n\n", "Player 1 0,"},
    };
    for (const auto& row : rows) {
        table = {};
        if (!row.empty_table)
            fill_table();
        forget_frames();
        script.assign(row.screens, enter);
        HighScoreEntry entered[2] = {};
        const int added = enter_high_scores(io, table, row.scores.data(), static_cast<int>(row.scores.size()), entered);
        EXPECT_EQ(frames.size(), row.screens);
        EXPECT_EQ(static_cast<size_t>(added), row.screens);
        std::string entries;
        for (int i = 0; i < added; i++)
            entries += std::string(entered[i].name) + " " + entered[i].score + ",";
        EXPECT_EQ(entries, row.entered);
        EXPECT_EQ(scores_text(table).substr(0, row.top.size()), row.top);
    }
}
