// The opening and farewell screen: grey stars bursting from the middle behind the logo.
#include "screens/starfield.h"

#include <cstdlib>

#include "app/assets.h"
#include "app/screen_size.h"

namespace {

constexpr int birth_x = 310;
constexpr int birth_y = 230;
constexpr int birth_spread = 20;     // the square the stars start from
constexpr int speed_steps = 400;     // speeds -2.00 .. +1.99
constexpr double speed_unit = 0.01;
constexpr double speed_offset = 2.0;
constexpr double brightness_step = 0.005;
constexpr int full_grey = 255;

float random_speed()
{
    return static_cast<float>((std::rand() % speed_steps) * speed_unit - speed_offset);
}

// Strict comparisons: a star exactly on the edge, or exactly white, lives on a frame.
bool star_is_spent(const Star& star)
{
    return star.x > screen_width || star.y > screen_height || star.x < 0 || star.y < 0 ||
           star.brightness > 1.0;
}

} // namespace

void start_star(Star& star, float brightness)
{
    star.x = static_cast<float>(birth_x + std::rand() % birth_spread);
    star.y = static_cast<float>(birth_y + std::rand() % birth_spread);
    star.dx = random_speed();
    star.dy = random_speed();
    star.brightness = brightness;
}

void move_star(Star& star)
{
    star.x += star.dx;
    star.y += star.dy;
    if (star.brightness < 1.0)
        star.brightness = static_cast<float>(star.brightness + brightness_step);
    if (star_is_spent(star))
        start_star(star, renewed_brightness);
}

int star_grey(const Star& star)
{
    return static_cast<int>(star.brightness * full_grey);
}

// The stars are plotted in whatever drawing mode is in force: solid at the opening,
// translucent at level 128 at the farewell, where they show at about half brightness.
void draw_starfield_frame(BITMAP* frame, Star (&stars)[star_count], BITMAP* logo, RLE_SPRITE* logo_runs)
{
    clear_bitmap(frame);
    for (Star& star : stars) {
        move_star(star);
        const int grey = star_grey(star);
        putpixel(frame, static_cast<int>(star.x), static_cast<int>(star.y), makecol(grey, grey, grey));
    }
    if (logo_runs)
        draw_rle_sprite(frame, logo_runs, 0, 0);
    else
        masked_blit(logo, frame, 0, 0, 0, 0, screen_width, screen_height);
}

void run_starfield(const ScreenIo& io)
{
    Star stars[star_count];
    for (Star& star : stars)
        start_star(star, first_brightness);
    clear_bitmap(io.display);
    play_midi(asset_midi(Asset::starfield_music), TRUE);

    const ScreenImage frame(io, screen_width, screen_height);
    if (!frame) {
        stop_midi();
        return;
    }
    BITMAP* logo = asset_bitmap(Asset::logo);
    RLE_SPRITE* logo_runs = get_rle_sprite(logo);
    // The first frame is always shown before the keyboard is looked at.
    do {
        draw_starfield_frame(frame.get(), stars, logo, logo_runs);
        io.wait_for_retrace();
        blit(frame.get(), io.display, 0, 0, 0, 0, screen_width, screen_height);
        show(io);
    } while (!io.key_waiting());
    stop_midi();
    if (logo_runs)
        destroy_rle_sprite(logo_runs);
}
