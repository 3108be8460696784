// The title menu (its keys, the menu as drawn, images that cannot be made) and the starfield.
#include "screen_fixture.h"

#include <cmath>

#include "app/colors.h"
#include "screens/starfield.h"
#include "screens/title.h"

namespace {

TEST(MenuKeys, DigitsAndEscapeActOnAnyLineEnterOnItsOwnUpDownWrapAndOtherKeysDoNothing)
{
    using A = MenuAction;
    struct Row { int8_t line; int code; int8_t selection; MenuAction action; };
    std::vector<Row> rows = {
        {1, KEY_ENTER, 1, A::one_player}, {2, KEY_ENTER, 2, A::two_players}, {3, KEY_ENTER, 3, A::quit},
        {1, KEY_UP, 3, A::none},          {2, KEY_UP, 1, A::none},           {3, KEY_UP, 2, A::none},
        {1, KEY_DOWN, 2, A::none},        {2, KEY_DOWN, 3, A::none},         {3, KEY_DOWN, 1, A::none}};
    const std::pair<int, MenuAction> on_any_line[] = {
        {KEY_1, A::one_player}, {KEY_2, A::two_players}, {KEY_ESC, A::quit},  {KEY_1_PAD, A::none},
        {KEY_2_PAD, A::none},   {KEY_ENTER_PAD, A::none}, {KEY_3, A::none}, {KEY_SPACE, A::none},
        {KEY_LEFT, A::none},    {0, A::none}};
    for (int8_t line = 1; line <= 3; line++)
        for (auto [code, action] : on_any_line)
            rows.push_back({line, code, line, action});
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "line " << int(row.line) << ", key " << row.code);
        const MenuStep step = menu_step(row.line, row.code);
        EXPECT_EQ(step.selection, row.selection);
        EXPECT_EQ(step.action, row.action);
    }
}

std::vector<int> script; // scancodes handed out one per read, then Escape
size_t keys_read = 0;
int scripted_key() { return (keys_read < script.size() ? script[keys_read++] : KEY_ESC) << 8; }

class TitleMenu : public ScreenTest {
protected:
    bool run_with_keys(std::vector<int> scancodes)
    {
        script = std::move(scancodes);
        keys_read = asked = 0;
        return run_title_on(Output{frame, count_retrace, record_sound, scripted_key});
    }
    // For each menu line (8 pixels high, 16 apart from y 350), whether any of it is highlighted.
    std::vector<bool> highlights()
    {
        std::vector<bool> lit(3);
        for (int y = 350; y < 350 + 3 * 16; y++)
            for (int x = 60; x < 60 + 8 * 19; x++)
                lit[(y - 350) / 16] = lit[(y - 350) / 16] || getpixel(frame, x, y) == color_highlight;
        return lit;
    }
};

TEST_F(TitleMenu, EachRefusedImageFreesTheOthersAndEndsTheMenu)
{
    for (refuse_at = 1; refuse_at <= 3; refuse_at++) {
        SCOPED_TRACE(refuse_at);
        GameImages images{};
        asked = 0;
        EXPECT_FALSE(make_game_images(images));
        EXPECT_EQ(images.frame_buffer, nullptr);
        EXPECT_EQ(images.title_image, nullptr);
        EXPECT_EQ(live_images, 0);
        EXPECT_FALSE(run_with_keys({KEY_1}));
        EXPECT_EQ(live_images, 0);
        EXPECT_EQ(keys_read, 0u); // the menu never came up
    }
    EXPECT_TRUE(sounds.empty());
}

TEST_F(TitleMenu, EscapeQuitsFromLineTwoOverTheTitlePictureAndEnterActsOnTheLineMovedTo)
{
    EXPECT_FALSE(run_with_keys({KEY_ESC}));
    EXPECT_EQ(live_images, 0);
    ASSERT_EQ(sounds.size(), 1u);
    EXPECT_EQ(sounds[0].first, Asset::title_sound);
    EXPECT_EQ(highlights(), std::vector<bool>({false, true, false}));
    const int title = getpixel(asset_bitmap(Asset::title_picture), 0, 0);
    EXPECT_EQ(getpixel(frame, 639, 479), title);
    EXPECT_EQ(getpixel(frame, 59, 350), title);

    // Keypad keys do nothing; up twice reaches line three.
    EXPECT_FALSE(run_with_keys({KEY_ENTER_PAD, KEY_UP, KEY_1_PAD, KEY_UP, KEY_ENTER}));
    EXPECT_EQ(keys_read, 5u);
    EXPECT_EQ(live_images, 0);
    EXPECT_EQ(highlights(), std::vector<bool>({false, false, true}));
}

// The frame in which a still star renews (its brightness falls back to 0.15).
int frames_until_renewal(float brightness)
{
    Star star{320, 240, 0, 0, brightness};
    for (int frame = 1; frame < 1000; frame++) {
        const float before = star.brightness;
        move_star(star);
        if (star.brightness < before)
            return star.brightness == renewed_brightness ? frame : -frame;
    }
    return 0;
}

TEST(Stars, StartInTheMiddleSquareWithSpeedsInHundredths)
{
    std::srand(7);
    for (int i = 0; i < 5000; i++) {
        Star star;
        start_star(star, first_brightness);
        EXPECT_TRUE(star.x >= 310 && star.x <= 329 && star.x == std::floor(star.x)) << star.x;
        EXPECT_TRUE(star.y >= 230 && star.y <= 249 && star.y == std::floor(star.y)) << star.y;
        for (double speed : {star.dx, star.dy}) {
            const double hundredths = (speed + 2.0) * 100.0;
            EXPECT_TRUE(hundredths > -0.001 && hundredths < 399.001) << speed;
            EXPECT_NEAR(hundredths, std::round(hundredths), 1e-3);
        }
    }
}

TEST(Stars, BrightenToRenewalInFrame201FromBlackAnd171AfterARenewalAndOnlyPastTheEdges)
{
    EXPECT_EQ(frames_until_renewal(first_brightness), 201);
    EXPECT_EQ(frames_until_renewal(renewed_brightness), 171);
    Star star{320, 240, 0, 0, first_brightness};
    move_star(star);
    EXPECT_EQ(star_grey(star), 1);
    EXPECT_EQ(star_grey(Star{0, 0, 0, 0, renewed_brightness}), 38);
    Star on_edge{639, 479, 1, 1, 0.5f}, at_zero{1, 1, -1, -1, 0.5f}, past{639.5f, 200, 1, 0, 0.5f};
    for (Star* s : {&on_edge, &at_zero, &past})
        move_star(*s);
    EXPECT_EQ(on_edge.x, 640); // exactly on an edge: lives on
    EXPECT_EQ(at_zero.x, 0);
    EXPECT_EQ(past.brightness, renewed_brightness);
}

using Starfield = ScreenTest;

// At the farewell the translucent mode the menu left is still in force.
TEST_F(Starfield, StarsBlendAtHalfWhenTranslucentDrawingIsInForce)
{
    Star stars[star_count];
    int green[2];
    for (int translucent : {0, 1}) {
        for (int i = 0; i < star_count; i++)
            stars[i] = Star{20.0f + 2 * (i % 25), 20.0f + 2 * (i / 25), 0, 0, 0.9f};
        if (translucent)
            set_trans_blender(0, 0, 0, 128), drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        draw_starfield_frame(frame, stars, asset_bitmap(Asset::logo));
        green[translucent] = rgb_at(frame, 20, 20).g;
    }
    EXPECT_GT(green[0], 200);
    EXPECT_NEAR(green[1], green[0] / 2, 8);
}

TEST_F(Starfield, ShowsOneFrameWhenAKeyWaitsAndReturnsAtOnceWithoutAFrameImage)
{
    for (int refused : {0, 1}) {
        SCOPED_TRACE(refused ? "no frame image" : "key waiting");
        retraces = asked = 0;
        refuse_at = refused;
        clear_keybuf();
        if (!refused)
            simulate_keypress(KEY_SPACE << 8 | ' ');
        clear_to_color(frame, makecol(0, 255, 0));
        show_starfield(Output{frame, count_retrace, record_sound, nullptr});
        EXPECT_EQ(retraces, 1 - refused);
        EXPECT_EQ(getpixel(frame, 5, 5), 0);    // cleared first, then the frame shown
        EXPECT_EQ(keypressed() != 0, !refused); // the key stays (headless readkey cannot hand it out)
        EXPECT_EQ(live_images, 0);
    }
    clear_keybuf();
}

} // namespace
