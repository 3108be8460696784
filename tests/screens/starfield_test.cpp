// The starfield: where stars start, how they brighten and renew, the logo, the frames shown.
#include "screen_fixture.h"

#include <cmath>
#include <random>

#include "screens/starfield.h"

namespace {

TEST(Stars, StartInTheMiddleSquareWithSpeedsInHundredths)
{
    std::srand(7);
    int corners = 0;
    for (int i = 0; i < 5000; i++) {
        Star star;
        start_star(star, first_brightness);
        ASSERT_TRUE(star.x >= 310 && star.x <= 329 && star.x == std::floor(star.x)) << star.x;
        ASSERT_TRUE(star.y >= 230 && star.y <= 249 && star.y == std::floor(star.y)) << star.y;
        corners += (star.x == 310 || star.x == 329) && (star.y == 230 || star.y == 249);
        for (double hundredths : {(star.dx + 2.0) * 100.0, (star.dy + 2.0) * 100.0}) {
            ASSERT_TRUE(hundredths > -0.001 && hundredths < 399.001) << hundredths;
            ASSERT_NEAR(hundredths, std::round(hundredths), 1e-3);
        }
    }
    EXPECT_GT(corners, 0); // the whole square is used
}

TEST(Stars, BrightenToRenewalInFrame201FromBlackAnd171AfterARenewalAndOnlyPastTheEdges)
{
    for (auto [from, frames] : {std::pair{first_brightness, 201}, {renewed_brightness, 171}}) {
        Star star{320, 240, 0, 0, from};
        int frame = 0;
        float before;
        do {
            before = star.brightness;
            move_star(star);
        } while (++frame < 1000 && star.brightness >= before);
        EXPECT_EQ(frame, frames) << from;
        EXPECT_EQ(star.brightness, renewed_brightness);
    }
    Star star{320, 240, 0, 0, first_brightness};
    move_star(star);
    EXPECT_EQ(star_grey(star), 1);
    EXPECT_EQ(star_grey(Star{0, 0, 0, 0, renewed_brightness}), 38);
    // Exactly on an edge a star lives on; only strictly past one does it start again.
    for (auto [x, y, dx, dy, renews] : {std::tuple{639.0f, 479.0f, 1.0f, 1.0f, false}, {1.f, 1.f, -1.f, -1.f, false},
                                        {639.5f, 200.f, 1.f, 0.f, true}, {200.f, 0.5f, 0.f, -1.f, true}}) {
        Star s{x, y, dx, dy, 0.5f};
        move_star(s);
        EXPECT_EQ(s.brightness == renewed_brightness, renews) << x << "," << y;
    }
}

using Starfield = ScreenTest;

// At the farewell the translucent mode the menu's panel left is still in force.
TEST_F(Starfield, StarsBlendAtHalfInThePanelsModeAndTheLogoRunsDrawExactlyTheMaskedLogo)
{
    std::mt19937 random(3);
    const Bitmap logo = filled(640, 480, bitmap_mask_color(display));
    for (int y = 0; y < 480; y++) // runs of mask colour and of colours, the top left kept clear
        for (int x = y < 60 ? 100 : 0; x < 640; x += 1 + static_cast<int>(random() % 9))
            if (random() % 2)
                hline(logo.get(), x, y, std::min(639, x + static_cast<int>(random() % 12)), random() & 0xFFFF);
    RLE_SPRITE* runs = get_rle_sprite(logo.get());
    Star stars[3][star_count];
    for (int i = 0; i < star_count; i++)
        for (auto& set : stars)
            set[i] = Star{20.0f + 2 * (i % 25), 20.0f + 2 * (i / 25), 0, 0, 0.9f};
    Bitmap frames[3];
    for (Bitmap& frame : frames)
        frame.reset(create_bitmap(640, 480));
    draw_starfield_frame(frames[0].get(), stars[0], logo.get(), nullptr);
    draw_panel(display, 0, 0, 10, 10);
    draw_starfield_frame(frames[1].get(), stars[1], logo.get(), nullptr);
    draw_starfield_frame(frames[2].get(), stars[2], logo.get(), runs);
    destroy_rle_sprite(runs);
    const int solid = getg(getpixel(frames[0].get(), 20, 20));
    EXPECT_GT(solid, 200);
    EXPECT_NEAR(getg(getpixel(frames[1].get(), 20, 20)), solid / 2, 8);
    EXPECT_TRUE(same_pixels(frames[2].get(), frames[1].get()));
}

TEST_F(Starfield, ShowsOneFrameWhenAKeyWaitsAndReturnsAtOnceWithoutAFrameImageLeavingTheKey)
{
    for (int refused : {0, 1}) {
        SCOPED_TRACE(refused ? "no frame image" : "key waiting");
        seen = Recorded{};
        seen.refuse_at = refused;
        clear_keybuf();
        if (!refused)
            simulate_keypress(KEY_SPACE << 8 | ' ');
        clear_to_color(display, makecol(0, 255, 0));
        run_starfield(fake_io());
        EXPECT_EQ(seen.retraces, std::vector<int>(1 - refused, 0)); // cleared before the wait
        EXPECT_EQ(getpixel(display, 5, 5), 0);
        EXPECT_EQ(keypressed() != 0, !refused); // headless readkey could not hand it out
        EXPECT_EQ(seen.live_images, 0);
    }
}

} // namespace
