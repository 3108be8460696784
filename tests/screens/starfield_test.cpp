// The starfield: where stars start, how they brighten and renew, the frame they make,
// and when the screen ends.
#include "screen_fixture.h"

#include <cmath>

#include "screens/starfield.h"

namespace {

// A star that stays on its spot, so only its brightness decides when it renews.
Star still_star(float brightness)
{
    return Star{320, 240, 0, 0, brightness};
}

// A still star's brightness only grows, until it renews and falls back to 0.15.
bool renewed(const Star& star, float before)
{
    return star.brightness < before && star.brightness == renewed_brightness;
}

TEST(Stars, StartInTheMiddleSquareWithSpeedsInHundredths)
{
    std::srand(7);
    for (int i = 0; i < 5000; i++) {
        Star star;
        start_star(star, first_brightness);
        EXPECT_GE(star.x, 310);
        EXPECT_LE(star.x, 329);
        EXPECT_EQ(star.x, std::floor(star.x));
        EXPECT_GE(star.y, 230);
        EXPECT_LE(star.y, 249);
        EXPECT_EQ(star.y, std::floor(star.y));
        for (float speed : {star.dx, star.dy}) {
            EXPECT_GE(speed, -2.0f);
            EXPECT_LE(speed, 1.99f + 1e-6f);
            const double hundredths = (speed + 2.0) * 100.0;
            EXPECT_NEAR(hundredths, std::round(hundredths), 1e-3);
        }
        EXPECT_EQ(star.brightness, 0.0f);
    }
}

TEST(Stars, DrawFourNumbersEachInOrder)
{
    std::srand(11);
    const int x = std::rand() % 20, y = std::rand() % 20, dx = std::rand() % 400,
              dy = std::rand() % 400;
    std::srand(11);
    Star star;
    start_star(star, renewed_brightness);
    EXPECT_EQ(star.x, 310 + x);
    EXPECT_EQ(star.y, 230 + y);
    EXPECT_EQ(star.dx, static_cast<float>(dx * 0.01 - 2.0));
    EXPECT_EQ(star.dy, static_cast<float>(dy * 0.01 - 2.0));
    EXPECT_EQ(star.brightness, renewed_brightness);
}

TEST(Stars, StarFromBlackRenewsInItsFrame201)
{
    Star star = still_star(first_brightness);
    for (int frame = 1; frame <= 200; frame++) {
        const float before = star.brightness;
        move_star(star);
        ASSERT_FALSE(renewed(star, before)) << frame;
        ASSERT_EQ(star.x, 320) << frame;
    }
    EXPECT_LT(star.brightness, 1.0f);
    const float before = star.brightness;
    move_star(star);
    EXPECT_TRUE(renewed(star, before));
}

TEST(Stars, RenewedStarRenewsAgain171FramesLater)
{
    Star star = still_star(renewed_brightness);
    for (int frame = 1; frame <= 170; frame++) {
        const float before = star.brightness;
        move_star(star);
        ASSERT_FALSE(renewed(star, before)) << frame;
    }
    const float before = star.brightness;
    move_star(star);
    EXPECT_TRUE(renewed(star, before));
}

TEST(Stars, GreyLevelIsOneInTheFirstFrameAnd38AfterRenewal)
{
    Star star = still_star(first_brightness);
    move_star(star);
    EXPECT_EQ(star_grey(star), 1);
    EXPECT_EQ(star_grey(still_star(renewed_brightness)), 38);
    int brightest = 0;
    Star climbing = still_star(first_brightness);
    for (int frame = 0; frame < 200; frame++) {
        move_star(climbing);
        brightest = std::max(brightest, star_grey(climbing));
    }
    EXPECT_EQ(brightest, 254);
}

TEST(Stars, EdgesAreStrict)
{
    Star on_edge{639, 479, 1, 1, 0.5f};
    move_star(on_edge);
    EXPECT_EQ(on_edge.x, 640);
    EXPECT_EQ(on_edge.y, 480);
    EXPECT_FALSE(renewed(on_edge, 0.5f));

    Star past{639.5f, 200, 1, 0, 0.5f};
    move_star(past);
    EXPECT_TRUE(renewed(past, 0.5f));

    Star at_zero{1, 1, -1, -1, 0.5f};
    move_star(at_zero);
    EXPECT_FALSE(renewed(at_zero, 0.5f));
    move_star(at_zero);
    EXPECT_TRUE(renewed(at_zero, 0.5f));
}

class StarfieldScreen : public ScreenTest {
protected:
    Star stars[star_count];

    void place_still_stars(float brightness)
    {
        for (int i = 0; i < star_count; i++)
            stars[i] = Star{static_cast<float>(20 + 2 * (i % 25)),
                            static_cast<float>(20 + 2 * (i / 25)), 0, 0, brightness};
    }
};

TEST_F(StarfieldScreen, FrameShowsEveryStarInItsGreyBehindTheLogo)
{
    place_still_stars(0.5f);
    clear_to_color(frame, makecol(90, 0, 0));
    BITMAP* logo = create_bitmap(640, 480);
    clear_to_color(logo, bitmap_mask_color(logo));
    rectfill(logo, 0, 0, 30, 30, makecol(0, 0, 255)); // covers the first few stars
    draw_starfield_frame(frame, stars, logo);
    const int grey = star_grey(stars[100]);
    EXPECT_EQ(getpixel(frame, 50, 28), makecol(grey, grey, grey));
    EXPECT_EQ(getpixel(frame, 40, 30), makecol(grey, grey, grey));
    EXPECT_EQ(getpixel(frame, 68, 38), makecol(grey, grey, grey)); // the last star
    EXPECT_EQ(getpixel(frame, 21, 60), 0);   // cleared between the stars
    EXPECT_EQ(getpixel(frame, 20, 20), makecol(0, 0, 255)); // the logo lies on top
    EXPECT_EQ(getpixel(frame, 600, 400), 0);
    destroy_bitmap(logo);
}

// At the farewell the translucent mode left by the menu is still in force.
TEST_F(StarfieldScreen, StarsBlendWhenTranslucentDrawingIsInForce)
{
    place_still_stars(0.9f);
    draw_starfield_frame(frame, stars, asset_bitmap(Asset::logo));
    const Rgb solid = rgb_at(frame, 20, 20);
    place_still_stars(0.9f);
    set_trans_blender(0, 0, 0, 128);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    draw_starfield_frame(frame, stars, asset_bitmap(Asset::logo));
    const Rgb blended = rgb_at(frame, 20, 20);
    EXPECT_GT(solid.g, 200);
    EXPECT_NEAR(blended.g, solid.g / 2, 8);
}

int retraces = 0;
void count_retrace() { retraces++; }
void no_sound(Asset) {}

TEST_F(StarfieldScreen, KeyWaitingEndsItAfterOneFrameAndStaysInTheBuffer)
{
    retraces = 0;
    clear_keybuf();
    simulate_keypress(KEY_SPACE << 8 | ' ');
    clear_to_color(frame, makecol(0, 255, 0));
    show_starfield(Output{frame, count_retrace, no_sound, nullptr});
    EXPECT_EQ(retraces, 1);
    // Still waiting (headless, readkey cannot hand it out: there is no keyboard driver).
    EXPECT_TRUE(keypressed());
    // The frame was shown: the fake logo is all mask colour, so only stars are left.
    EXPECT_EQ(getpixel(frame, 5, 5), 0);
}

BITMAP* refuse(int, int) { return nullptr; }

TEST_F(StarfieldScreen, WithoutAFrameImageItReturnsAtOnce)
{
    retraces = 0;
    clear_keybuf();
    create_screen_image = refuse;
    clear_to_color(frame, makecol(0, 255, 0));
    show_starfield(Output{frame, count_retrace, no_sound, nullptr});
    create_screen_image = create_bitmap;
    EXPECT_EQ(retraces, 0);
    EXPECT_EQ(getpixel(frame, 5, 5), 0); // the screen was cleared first, as always
}

} // namespace
