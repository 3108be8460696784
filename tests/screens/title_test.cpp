// The title menu: its keys, the menu as shown, the game background it prepares, its images.
#include "screen_fixture.h"

#include "app/colors.h"
#include "screens/title.h"

namespace {

using C = MenuChoice;

TEST(MenuKeys, DigitsAndEscapeActOnAnyLineEnterOnItsOwnUpDownWrapAndOtherKeysDoNothing)
{
    struct Row { int8_t line; int code; int8_t selection; C choice; };
    std::vector<Row> rows = {
        {1, KEY_ENTER, 1, C::one_player}, {2, KEY_ENTER, 2, C::two_players}, {3, KEY_ENTER, 3, C::quit},
        {1, KEY_UP, 3, C::none},          {2, KEY_UP, 1, C::none},           {3, KEY_UP, 2, C::none},
        {1, KEY_DOWN, 2, C::none},        {2, KEY_DOWN, 3, C::none},         {3, KEY_DOWN, 1, C::none}};
    const std::pair<int, C> on_any_line[] = {
        {KEY_1, C::one_player}, {KEY_2, C::two_players},  {KEY_ESC, C::quit}, {KEY_1_PAD, C::none},
        {KEY_2_PAD, C::none},   {KEY_ENTER_PAD, C::none}, {KEY_3, C::none},   {KEY_SPACE, C::none}, {0, C::none}};
    for (int8_t line = 1; line <= 3; line++)
        for (auto [code, choice] : on_any_line)
            rows.push_back({line, code, line, choice});
    for (const Row& row : rows) {
        const MenuStep step = menu_step(row.line, row.code);
        EXPECT_EQ(step.selection, row.selection) << "line " << int(row.line) << ", key " << row.code;
        EXPECT_EQ(step.choice, row.choice) << "line " << int(row.line) << ", key " << row.code;
    }
}

// Which menu line (8 pixels high, 16 apart from y 350) shows the highlight; 0 for none or several.
int highlighted_line()
{
    int found = 0, lit_lines = 0;
    for (int line = 1; line <= 3; line++) {
        bool lit = false;
        for (int y = 350 + 16 * (line - 1); y < 358 + 16 * (line - 1); y++)
            for (int x = 60; x < 60 + 8 * 19; x++)
                lit = lit || getpixel(display, x, y) == color_highlight;
        if (lit)
            found = line, lit_lines++;
    }
    return lit_lines == 1 ? found : 0;
}

using TitleMenu = ScreenTest;

TEST_F(TitleMenu, EachRefusedImageFreesTheOthers)
{
    ScreenImages images;
    for (seen.refuse_at = 1; seen.refuse_at <= 3; seen.refuse_at++) {
        seen.asked = 0;
        EXPECT_FALSE(make_screen_images(fake_io(), images));
        EXPECT_FALSE(images.frame_buffer || images.game_background || images.title_image);
        EXPECT_EQ(seen.live_images, 0) << seen.refuse_at;
    }
    seen.refuse_at = 0;
    ASSERT_TRUE(make_screen_images(fake_io(), images));
    EXPECT_EQ(seen.live_images, 3);
    free_screen_images(images);
    EXPECT_EQ(seen.live_images, 0);
}

TEST_F(TitleMenu, StartsOnLineTwoOverTheTitleWithScanLinesReadyAndEnterActsOnTheLineMovedTo)
{
    const struct { std::vector<int> keys; C choice; std::vector<int> lines; } rows[] = {
        {{KEY_ESC}, C::quit, {2}},
        {{KEY_ENTER}, C::two_players, {2}},
        {{KEY_ENTER_PAD, KEY_UP, KEY_1_PAD, KEY_UP, KEY_ENTER}, C::quit, {2, 2, 1, 1, 3}},
        {{KEY_DOWN, KEY_DOWN, KEY_2_PAD, KEY_ENTER}, C::one_player, {2, 3, 1, 1}},
        {{KEY_DOWN, KEY_1}, C::one_player, {2, 3}}};
    key_probe = highlighted_line;
    const int plain = getpixel(asset_bitmap(Asset::game_background), 0, 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys.size());
        ScreenImages images;
        ASSERT_TRUE(make_screen_images(fake_io(), images));
        solid_mode(); // as in the first menu of a run
        seen.keys = row.keys, seen.keys_read = 0, seen.key_probes.clear(), seen.sounds.clear();
        EXPECT_EQ(run_title(fake_io(), images), row.choice);
        EXPECT_EQ(seen.key_probes, row.lines);
        EXPECT_EQ(seen.sounds, (Sounds{{Asset::title_sound, -1}}));
        EXPECT_EQ(getpixel(display, 639, 479), getpixel(asset_bitmap(Asset::title_picture), 0, 0));
        for (int x : {0, 10, 639})
            for (int y = 0; y < 480; y++)
                ASSERT_EQ(getpixel(images.game_background.get(), x, y), y % 2 ? plain : color_black) << x << "," << y;
    }
}

} // namespace
