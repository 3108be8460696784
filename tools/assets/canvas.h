// A floating-point RGBA picture the generator paints on, and its hand-over to the library.
#pragma once

#include <allegro.h>

#include <functional>
#include <string>
#include <vector>

struct Rgb {
    float r, g, b;
};

// Premultiplied colour and coverage per pixel, so soft edges compose correctly
// and a masked picture's fringe ends up blended towards black, not pink.
struct Canvas {
    int w = 0, h = 0;
    std::vector<float> r, g, b, a;
};

struct Box {
    int x0, y0, x1, y1; // x1, y1 exclusive
};

// Signed distance in pixels from a point to a shape's edge, negative inside.
using Shape = std::function<float(float x, float y)>;
// The colour to paint at a point.
using Paint = std::function<Rgb(float x, float y)>;

constexpr Rgb white{1.0f, 1.0f, 1.0f};
constexpr Rgb black{0.0f, 0.0f, 0.0f};

Canvas make_canvas(int w, int h);
Rgb mix(Rgb a, Rgb b, float t);
Rgb rgb8(int r, int g, int b);
Rgb scaled(Rgb c, float k);
Paint solid(Rgb c);

// Lays colour `c` over pixel (x, y) with the given opacity; outside pixels are ignored.
void blend_pixel(Canvas& c, int x, int y, Rgb colour, float opacity);
void fill_canvas(Canvas& c, const Paint& paint);
// Paints the inside of `shape` within `bounds`, edges anti-aliased from the distance.
void fill_shape(Canvas& c, const Shape& shape, const Paint& paint, float opacity, Box bounds);
void fill_shape(Canvas& c, const Shape& shape, const Paint& paint, float opacity = 1.0f);
// A coverage map (0..1 per pixel, w x h) painted with its top-left at (x, y).
void fill_coverage(Canvas& c, const std::vector<float>& coverage, int w, int h, int x, int y,
                   const Paint& paint, float opacity = 1.0f);

// A 32-bit library bitmap of the canvas. Masked: pixels less than half covered
// become the mask colour; opaque pixels that would land on it after 16-bit
// reduction are nudged off it, so no stray hole appears in a sprite.
BITMAP* canvas_to_bitmap(const Canvas& c, bool masked);
// Saves the canvas as a classic BMP for the datafile tool; false on failure.
bool save_canvas(const Canvas& c, const std::string& path, bool masked);
