// Painting bevelled, glossy blocks and their colour-blind-friendly symbols.
#include "blocks.h"

#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace {

// Fractions of the block's size.
constexpr float corner = 0.16f;
constexpr float bevel = 0.14f;
constexpr float symbol_size = 0.5f;
constexpr float light_x = -0.7071f, light_y = -0.7071f; // light from the top left

Rgb shaded_face(const Shape& body, Rgb base, float top, float size, float px, float py)
{
    // Deeper towards the bottom of the face.
    Rgb face = mix(scaled(base, 1.15f), scaled(base, 0.8f), std::clamp((py - top) / size, 0.0f, 1.0f));
    const float depth = -body(px, py);
    const float band = size * bevel;
    if (depth >= band)
        return face;
    // The bevel leans towards the light on the top and left edges, away on the others.
    const float e = 0.5f;
    float nx = body(px + e, py) - body(px - e, py);
    float ny = body(px, py + e) - body(px, py - e);
    const float len = std::hypot(nx, ny);
    if (len > 0) {
        nx /= len;
        ny /= len;
    }
    const float facing = nx * light_x + ny * light_y;
    const float strength = 1.0f - std::max(depth, 0.0f) / band;
    if (facing > 0)
        return mix(face, white, 0.55f * facing * strength);
    return mix(face, black, 0.5f * -facing * strength);
}

Shape symbol_shape(int n, float cx, float cy, float s)
{
    switch (n) {
    case 1: return heart(cx, cy + s * 0.04f, s);
    case 2: return polygon({{cx, cy - s * 0.5f}, {cx + s * 0.4f, cy}, {cx, cy + s * 0.5f}, {cx - s * 0.4f, cy}});
    case 3: return ring(cx, cy, s * 0.3f, s * 0.17f); // hollow, unlike the solid diamond
    case 4: return polygon({{cx, cy - s * 0.46f}, {cx + s * 0.48f, cy + s * 0.38f}, {cx - s * 0.48f, cy + s * 0.38f}});
    default: return regular_star(cx, cy + s * 0.04f, s * 0.52f, s * 0.22f, 5, 0.0f);
    }
}

} // namespace

Rgb block_colour(int n)
{
    static const Rgb colours[block_colours] = {
        rgb8(232, 40, 48),   // red
        rgb8(40, 200, 72),   // green
        rgb8(40, 110, 240),  // blue
        rgb8(250, 208, 30),  // yellow
        rgb8(168, 64, 224),  // purple
    };
    return colours[std::clamp(n, 1, block_colours) - 1];
}

void draw_block(Canvas& c, float x, float y, float size, int n, bool symbol)
{
    const Rgb base = block_colour(n);
    const Box bounds{static_cast<int>(x) - 1, static_cast<int>(y) - 1, static_cast<int>(x + size) + 2,
                     static_cast<int>(y + size) + 2};
    Shape body = rounded_box(x, y, size, size, size * corner);
    fill_shape(c, body, [&](float px, float py) { return shaded_face(body, base, y, size, px, py); }, 1.0f,
               bounds);
    // A soft gloss over the upper half.
    Shape gloss = rounded_box(x + size * 0.18f, y + size * 0.12f, size * 0.64f, size * 0.3f, size * 0.15f);
    fill_shape(c, gloss, solid(white), 0.18f, bounds);
    if (!symbol)
        return;
    const float cx = x + size / 2, cy = y + size / 2, s = size * symbol_size;
    Shape mark = symbol_shape(n, cx, cy, s);
    const float shadow = std::max(1.0f, size / 32.0f);
    Shape drop = [&mark, shadow](float px, float py) { return mark(px - shadow, py - shadow); };
    fill_shape(c, grown(drop, shadow * 0.5f), solid(scaled(base, 0.35f)), 0.8f, bounds);
    fill_shape(c, mark, [&](float, float py) { return mix(white, rgb8(230, 230, 240), (py - cy + s / 2) / s); },
               0.95f, bounds);
}
