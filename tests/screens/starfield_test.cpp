// The starfield: where stars start, how they brighten and renew, the frame they make,
// and when the screen ends.
#include "screen_fixture.h"

#include <cmath>

#include "screens/starfield.h"

namespace {

// A star that stays on its spot, so only its brightness decides when it renews; returns
// the frame in which it renews (its brightness falls back to 0.15).
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

TEST(Stars, BrightnessRenewsInFrame201FromBlackAnd171AfterARenewal)
{
    EXPECT_EQ(frames_until_renewal(first_brightness), 201);
    EXPECT_EQ(frames_until_renewal(renewed_brightness), 171);
    Star star{320, 240, 0, 0, first_brightness};
    move_star(star);
    EXPECT_EQ(star_grey(star), 1);
    EXPECT_EQ(star_grey(Star{0, 0, 0, 0, renewed_brightness}), 38);
}

TEST(Stars, OnlyStarsPastTheEdgesRenew)
{
    Star on_edge{639, 479, 1, 1, 0.5f};
    move_star(on_edge);
    EXPECT_EQ(on_edge.x, 640); // exactly on the edge: lives on
    Star at_zero{1, 1, -1, -1, 0.5f};
    move_star(at_zero);
    EXPECT_EQ(at_zero.x, 0);
    Star past{639.5f, 200, 1, 0, 0.5f};
    move_star(past);
    EXPECT_EQ(past.brightness, renewed_brightness);
}

int retraces = 0;
void count_retrace() { retraces++; }
void no_sound(Asset) {}

class StarfieldScreen : public ScreenTest {
protected:
    Star stars[star_count];
    void place_still_stars(float brightness)
    {
        for (int i = 0; i < star_count; i++)
            stars[i] = Star{20.0f + 2 * (i % 25), 20.0f + 2 * (i / 25), 0, 0, brightness};
    }
};

// At the farewell the translucent mode the menu left is still in force.
TEST_F(StarfieldScreen, StarsBlendAtHalfWhenTranslucentDrawingIsInForce)
{
    place_still_stars(0.9f);
    draw_starfield_frame(frame, stars, asset_bitmap(Asset::logo));
    const Rgb solid = rgb_at(frame, 20, 20);
    place_still_stars(0.9f);
    set_trans_blender(0, 0, 0, 128);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    draw_starfield_frame(frame, stars, asset_bitmap(Asset::logo));
    EXPECT_GT(solid.g, 200);
    EXPECT_NEAR(rgb_at(frame, 20, 20).g, solid.g / 2, 8);
}

TEST_F(StarfieldScreen, KeyWaitingEndsItAfterOneFrameAndStaysInTheBuffer)
{
    retraces = 0;
    clear_keybuf();
    simulate_keypress(KEY_SPACE << 8 | ' ');
    clear_to_color(frame, makecol(0, 255, 0));
    show_starfield(Output{frame, count_retrace, no_sound, nullptr});
    EXPECT_EQ(retraces, 1);
    EXPECT_EQ(getpixel(frame, 5, 5), 0); // the frame was shown
    EXPECT_TRUE(keypressed());           // (headless readkey cannot hand it out)
    clear_keybuf();
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
    EXPECT_EQ(getpixel(frame, 5, 5), 0); // cleared first, as always
}

} // namespace
