// The backdrops of play: the well's dark grid and the screen behind the wells.
#include "pictures.h"

#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float grid_opacity = 0.16f;
constexpr float tile_pattern = 40.0f; // pixels between the diamonds of the game background

float smooth(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Faint outlines of blocks drifting up the margins and the gap between the wells.
void draw_ghost_blocks(Canvas& c)
{
    struct Ghost {
        float x, y, size, opacity;
    };
    static const Ghost ghosts[] = {
        {12, 380, 30, 0.22f}, {20, 300, 22, 0.16f}, {8, 200, 26, 0.12f},  {26, 110, 18, 0.10f},
        {598, 400, 30, 0.22f}, {590, 250, 22, 0.15f}, {604, 150, 26, 0.11f}, {282, 300, 28, 0.16f},
        {322, 360, 22, 0.20f}, {300, 230, 18, 0.12f}, {330, 420, 30, 0.24f}, {276, 400, 20, 0.18f},
    };
    for (const Ghost& g : ghosts) {
        Shape box = rounded_box(g.x, g.y, g.size, g.size, g.size * 0.18f);
        fill_shape(c, cut_out(box, grown(box, -1.5f)), solid(rgb8(170, 200, 255)), g.opacity);
        fill_shape(c, box, solid(rgb8(120, 150, 230)), g.opacity * 0.3f);
    }
}

} // namespace

float Sprinkle::next()
{
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0f;
}

Canvas make_well_background()
{
    Canvas c = make_canvas(well_w, well_h);
    const Rgb top = rgb8(16, 18, 40), bottom = rgb8(30, 18, 50);
    fill_canvas(c, [&](float, float y) { return mix(top, bottom, y / well_h); });
    // Faint cell lines, brighter where they cross.
    const Rgb line = rgb8(120, 130, 200);
    for (int x = cell; x < well_w; x += cell)
        fill_shape(c, rounded_box(x - 0.5f, 0, 1, well_h, 0), solid(line), grid_opacity);
    for (int y = cell; y < well_h; y += cell)
        fill_shape(c, rounded_box(0, y - 0.5f, well_w, 1, 0), solid(line), grid_opacity);
    for (int x = cell; x < well_w; x += cell)
        for (int y = cell; y < well_h; y += cell)
            fill_shape(c, circle(x, y, 1.6f), solid(line), 0.35f, Box{x - 3, y - 3, x + 4, y + 4});
    return c;
}

Canvas make_game_background()
{
    Canvas c = make_canvas(screen_w, screen_h);
    const Rgb deep = rgb8(20, 34, 70), warm = rgb8(70, 30, 86), glow = rgb8(60, 110, 170);
    fill_canvas(c, [&](float x, float y) {
        const float diagonal = (x / screen_w * 0.6f + y / screen_h * 0.4f);
        Rgb col = mix(deep, warm, diagonal);
        // A soft light behind the clock, between the wells.
        const float d = std::hypot((x - 320) / 200.0f, (y - 200) / 260.0f);
        col = mix(col, glow, 0.45f * (1 - smooth(0.0f, 1.0f, d)));
        // Diamonds in a faint lattice.
        const float u = std::fabs(std::fmod(x + y, tile_pattern) - tile_pattern / 2);
        const float v = std::fabs(std::fmod(x - y + 1000 * tile_pattern, tile_pattern) - tile_pattern / 2);
        const float lattice = 1 - smooth(0.0f, 1.5f, std::min(u, v));
        col = mix(col, rgb8(150, 170, 230), 0.1f * lattice);
        // Darker at the top edge so the white scores stand out, and a vignette.
        col = scaled(col, 0.55f + 0.45f * smooth(10.0f, 60.0f, y));
        const float edge = std::hypot((x - 320) / 420.0f, (y - 240) / 330.0f);
        return scaled(col, 1.0f - 0.45f * smooth(0.6f, 1.2f, edge));
    });
    draw_ghost_blocks(c);
    return c;
}
