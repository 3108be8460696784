// The title picture: night sky, the name in warm gradient letters, and a city of stacked blocks.
#include "pictures.h"

#include "blocks.h"
#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t star_seed = 20261206;
constexpr int star_count = 170;
constexpr int title_size = 86, title_y = 104;
constexpr float title_outline = 4.0f, title_shadow = 6.0f;
constexpr int subtitle_size = 20, subtitle_y = 176;
// The game writes its menu at x = 60, y = 350-390: a calm dark plate lies behind it.
constexpr float menu_x = 40, menu_y = 334, menu_w = 200, menu_h = 72;
constexpr int city_left = 352;     // the block stacks stay right of the menu
constexpr float city_block = 32;
constexpr int trail_steps = 6; // the glow left below a rising block
constexpr int footer_size = 13, footer_x = 40, footer_y = 452;

void draw_sky(Canvas& c)
{
    const Rgb top = rgb8(6, 8, 30), middle = rgb8(28, 18, 70), low = rgb8(70, 24, 88);
    fill_canvas(c, [&](float, float y) {
        const float t = y / screen_h;
        return t < 0.6f ? mix(top, middle, t / 0.6f) : mix(middle, low, (t - 0.6f) / 0.4f);
    });
    Sprinkle rng{star_seed};
    for (int i = 0; i < star_count; i++) {
        const float x = rng.next() * screen_w, y = rng.next() * screen_h * 0.75f;
        const float r = 0.5f + rng.next() * rng.next() * 1.4f;
        const float glow = 0.35f + rng.next() * 0.65f;
        fill_shape(c, circle(x, y, r), solid(mix(rgb8(180, 200, 255), white, rng.next())), glow,
                   Box{static_cast<int>(x) - 3, static_cast<int>(y) - 3, static_cast<int>(x) + 4,
                       static_cast<int>(y) + 4});
    }
}

void draw_city(Canvas& c)
{
    Sprinkle rng{star_seed + 1};
    const int columns = (screen_w - city_left) / static_cast<int>(city_block);
    for (int col = 0; col < columns; col++) {
        const float x = city_left + col * city_block;
        // Taller towards the right edge, with some chance in it.
        const int height = 2 + static_cast<int>(rng.next() * 3) + col / 2;
        for (int k = 0; k < height; k++) {
            const float y = screen_h - (k + 1) * city_block;
            draw_block(c, x + 1, y + 1, city_block - 2, 1 + static_cast<int>(rng.next() * 5), true);
        }
        // One block rising free above some stacks, with a fading trail.
        if (rng.next() < 0.5f) {
            const float y = screen_h - (height + 2.5f + rng.next() * 2) * city_block;
            const int colour = 1 + static_cast<int>(rng.next() * 5);
            for (int k = 0; k < trail_steps; k++)
                fill_shape(c, rounded_box(x + 6 + k, y + city_block + k * 6, city_block - 12 - 2 * k, 6, 2),
                           solid(block_colour(colour)), 0.35f * (1.0f - k / float(trail_steps)));
            draw_block(c, x + 1, y + 1, city_block - 2, colour, true);
        }
    }
}

void draw_title(Canvas& c, const Faces& faces)
{
    TextImage title = render_text(faces.bold, "BLOCKRISE", title_size, 8, false, 2);
    const int x = screen_w / 2 - title.w / 2, y = title_y - title.h / 2;
    const TextImage thick = outline_of(title, title_outline);
    draw_text(c, thick, x + static_cast<int>(title_shadow), y + static_cast<int>(title_shadow), solid(black), 0.55f);
    draw_text(c, thick, x, y, solid(rgb8(30, 10, 40)));
    const float top = static_cast<float>(title.baseline - title_size * 0.75f + y), bottom = static_cast<float>(title.baseline + y);
    draw_text(c, title, x, y, [&](float, float py) {
        const float t = std::clamp((py - top) / (bottom - top), 0.0f, 1.0f);
        return t < 0.5f ? mix(rgb8(255, 240, 120), rgb8(255, 150, 40), t * 2)
                        : mix(rgb8(255, 150, 40), rgb8(240, 60, 110), (t - 0.5f) * 2);
    });
    draw_motto(c, faces, subtitle_y, subtitle_size);
}

} // namespace

Canvas make_title_picture(const Faces& faces)
{
    Canvas c = make_canvas(screen_w, screen_h);
    draw_sky(c);
    draw_city(c);
    draw_title(c, faces);
    Shape plate = rounded_box(menu_x, menu_y, menu_w, menu_h, 8);
    fill_shape(c, plate, solid(rgb8(4, 4, 16)), 0.55f);
    fill_shape(c, cut_out(plate, grown(plate, -1.5f)), solid(rgb8(150, 160, 230)), 0.35f);
    TextImage footer = render_text(faces.bold, "TWO WELLS.  ONE WINNER.", footer_size, 2, false, 1);
    draw_text(c, footer, footer_x, footer_y - footer.h / 2, solid(rgb8(160, 170, 215)), 0.85f);
    return c;
}
