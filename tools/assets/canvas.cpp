// Painting on the floating-point canvas and turning it into a library bitmap.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace {

// Width in pixels over which a shape's edge fades from covered to clear.
constexpr float edge_softness = 1.0f;

float coverage_from_distance(float d)
{
    return std::clamp(0.5f - d / edge_softness, 0.0f, 1.0f);
}

int to_byte(float v)
{
    return std::clamp(static_cast<int>(std::lround(v * 255.0f)), 0, 255);
}

// 16-bit colours keep the top 5/6/5 bits; this is the test for the mask colour after that.
bool reduces_to_mask(int r, int g, int b)
{
    return (r >> 3) == 31 && (g >> 2) == 0 && (b >> 3) == 31;
}

} // namespace

Canvas make_canvas(int w, int h)
{
    Canvas c;
    c.w = w;
    c.h = h;
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    c.r.assign(n, 0.0f);
    c.g.assign(n, 0.0f);
    c.b.assign(n, 0.0f);
    c.a.assign(n, 0.0f);
    return c;
}

Rgb mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb rgb8(int r, int g, int b)
{
    return {r / 255.0f, g / 255.0f, b / 255.0f};
}

Rgb scaled(Rgb c, float k)
{
    return {std::clamp(c.r * k, 0.0f, 1.0f), std::clamp(c.g * k, 0.0f, 1.0f),
            std::clamp(c.b * k, 0.0f, 1.0f)};
}

Paint solid(Rgb c)
{
    return [c](float, float) { return c; };
}

void blend_pixel(Canvas& c, int x, int y, Rgb colour, float opacity)
{
    if (x < 0 || y < 0 || x >= c.w || y >= c.h || opacity <= 0.0f)
        return;
    const size_t i = static_cast<size_t>(y) * static_cast<size_t>(c.w) + static_cast<size_t>(x);
    const float keep = 1.0f - opacity;
    c.r[i] = colour.r * opacity + c.r[i] * keep;
    c.g[i] = colour.g * opacity + c.g[i] * keep;
    c.b[i] = colour.b * opacity + c.b[i] * keep;
    c.a[i] = opacity + c.a[i] * keep;
}

void fill_canvas(Canvas& c, const Paint& paint)
{
    for (int y = 0; y < c.h; y++)
        for (int x = 0; x < c.w; x++)
            blend_pixel(c, x, y, paint(x + 0.5f, y + 0.5f), 1.0f);
}

void fill_shape(Canvas& c, const Shape& shape, const Paint& paint, float opacity, Box bounds)
{
    const int x0 = std::max(bounds.x0, 0), y0 = std::max(bounds.y0, 0);
    const int x1 = std::min(bounds.x1, c.w), y1 = std::min(bounds.y1, c.h);
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float cover = coverage_from_distance(shape(px, py));
            if (cover > 0.0f)
                blend_pixel(c, x, y, paint(px, py), cover * opacity);
        }
}

void fill_shape(Canvas& c, const Shape& shape, const Paint& paint, float opacity)
{
    fill_shape(c, shape, paint, opacity, Box{0, 0, c.w, c.h});
}

void fill_coverage(Canvas& c, const std::vector<float>& coverage, int w, int h, int x, int y,
                   const Paint& paint, float opacity)
{
    for (int j = 0; j < h; j++)
        for (int i = 0; i < w; i++) {
            const float cover = coverage[static_cast<size_t>(j * w + i)];
            if (cover > 0.0f)
                blend_pixel(c, x + i, y + j, paint(x + i + 0.5f, y + j + 0.5f), cover * opacity);
        }
}

BITMAP* canvas_to_bitmap(const Canvas& c, bool masked)
{
    BITMAP* bmp = create_bitmap_ex(32, c.w, c.h);
    if (!bmp)
        return nullptr;
    const int mask = makecol32(255, 0, 255);
    for (int y = 0; y < c.h; y++)
        for (int x = 0; x < c.w; x++) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(c.w) + static_cast<size_t>(x);
            if (masked && c.a[i] < 0.5f) {
                putpixel(bmp, x, y, mask);
                continue;
            }
            // Premultiplied colour: an opaque picture's partial pixels lie over black.
            const int r = to_byte(c.r[i]), b = to_byte(c.b[i]);
            int g = to_byte(c.g[i]);
            if (reduces_to_mask(r, g, b))
                g = 4;
            putpixel(bmp, x, y, makecol32(r, g, b));
        }
    return bmp;
}

bool save_canvas(const Canvas& c, const std::string& path, bool masked)
{
    BITMAP* bmp = canvas_to_bitmap(c, masked);
    if (!bmp)
        return false;
    PALETTE pal;
    get_palette(pal);
    const bool ok = save_bitmap(path.c_str(), bmp, pal) == 0;
    destroy_bitmap(bmp);
    return ok;
}
