// The screens around a game: the title menu with its images, and the starfield.
#include "screen_fixture.h"

#include "screens/starfield.h"
#include "screens/title.h"

namespace {

using TitleMenu = ScreenTest;

// Each image refused frees the others. From line 2, digits and Escape act on any line and Enter
// on the highlighted one; up and down go round; keypad keys and the rest do nothing.
TEST_F(TitleMenu, ImagesAllOrNoneAndKeysMoveTheHighlightRoundAndChoose)
{
    ScreenImages images;
    for (seen.refuse_at = 1; seen.refuse_at <= 3; seen.refuse_at++, seen.asked = 0) {
        EXPECT_FALSE(make_screen_images(fake_io(), images));
        EXPECT_FALSE(images.frame_buffer || images.game_background || images.title_image || seen.live_images);
    }
    seen.refuse_at = 0;
    ASSERT_TRUE(make_screen_images(fake_io(), images));
    EXPECT_EQ(seen.live_images, 3);
    const struct { std::vector<int> keys; MenuChoice choice; } rows[] = {
        {{KEY_DOWN, KEY_DOWN, KEY_ENTER}, MenuChoice::one_player},
        {{KEY_UP, KEY_DOWN, KEY_DOWN, KEY_UP, KEY_ENTER}, MenuChoice::two_players},
        {{KEY_DOWN, KEY_1}, MenuChoice::one_player},
        {{KEY_UP, KEY_2}, MenuChoice::two_players},
        {{KEY_UP, KEY_ESC}, MenuChoice::quit},
        {{KEY_ENTER_PAD, KEY_UP, KEY_UP, KEY_1_PAD, KEY_2_PAD, KEY_3, KEY_SPACE, KEY_ENTER}, MenuChoice::quit}};
    for (const auto& row : rows) {
        press(row.keys), seen.sounds.clear();
        EXPECT_EQ(run_title(fake_io(), images), row.choice) << &row - rows;
        EXPECT_EQ(seen.sounds, (Sounds{{Asset::title_sound, -1}}));
    }
    // As the last key was read: line 3 lit, over the title picture.
    EXPECT_TRUE(matches_reference("menu", display, 56, 346, 168, 48));
    free_screen_images(images);
    EXPECT_EQ(seen.live_images, 0);
}

using Starfield = ScreenTest;

// 250 frames from a seeded start: the stars burst from the middle square, brighten and start
// again behind the logo. At the farewell the menu's panel has left translucent drawing in force.
TEST_F(Starfield, StarsBurstBrightenAndRenewBehindTheLogoUntilAKeyWaitsHalfBrightAtTheFarewell)
{
    BITMAP* logo = asset_bitmap(Asset::logo); // all mask colour but a bar with a hole
    rectfill(logo, 100, 260, 539, 339, makecol(90, 200, 40)); // over the pixel the retrace waits record
    rectfill(logo, 180, 280, 259, 319, MASK_COLOR_16);
    for (const char* name : {"stars_opening", "stars_farewell"}) {
        seen = Recorded{}, seen.unseen_frames = 249;
        std::srand(7);
        simulate_keypress(KEY_SPACE << 8 | ' ');
        clear_to_color(display, makecol(0, 255, 0));
        run_starfield(fake_io());
        EXPECT_EQ(std::tuple(seen.retraces.size(), seen.retraces.at(0), seen.live_images), std::tuple(250u, 0, 0));
        EXPECT_TRUE(keypressed()) << "the key is left for the next screen";
        EXPECT_TRUE(matches_reference(name, display, 160, 120, 320, 240));
        clear_keybuf(), draw_panel(display, 0, 0, 10, 10); // as the menu leaves the drawing mode
    }
    Star still[2][star_count] = {}; // all in the top left corner
    const Bitmap ran(create_bitmap(640, 480)), masked(create_bitmap(640, 480));
    RLE_SPRITE* runs = get_rle_sprite(logo);
    draw_starfield_frame(ran.get(), still[0], logo, runs), draw_starfield_frame(masked.get(), still[1], logo, nullptr);
    destroy_rle_sprite(runs);
    EXPECT_TRUE(same_pixels(masked.get(), ran.get())) << "without its runs the logo is drawn masked all the same";

    // Exactly on an edge a star lives on; only strictly past one does it start again.
    for (auto [x, y, dx, dy, renews] : {std::tuple{639.0f, 479.0f, 1.0f, 1.0f, false}, {1.f, 1.f, -1.f, -1.f, false},
                                        {639.5f, 200.f, 1.f, 0.f, true}, {200.f, 0.5f, 0.f, -1.f, true}}) {
        Star s{x, y, dx, dy, 0.5f};
        move_star(s);
        EXPECT_EQ(s.brightness == renewed_brightness, renews) << x << "," << y;
    }

    // Without a frame image it returns at once.
    seen = Recorded{}, seen.refuse_at = 1;
    clear_to_color(display, makecol(0, 255, 0));
    run_starfield(fake_io());
    EXPECT_EQ(std::tuple(seen.retraces.size(), getpixel(display, 5, 5), seen.live_images), std::tuple(size_t{0}, 0, 0));
}

} // namespace
