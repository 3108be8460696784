// The small game sprites: the tile strip, the two cursor frames and the popup strip.
#include "pictures.h"

#include "blocks.h"
#include "shapes.h"

#include <string>

namespace {

// The cursor's frame lies in the six-pixel border around the pair of cells.
constexpr float frame_outer = 1.0f, frame_thick = 4.0f, frame_thin = 3.0f;
constexpr float frame_radius = 6.0f;
// Tight inner corners: rounder ones would reach into the corners of the two cells.
constexpr float inner_radius = 1.0f;

// Chain points on the popups; the largest are shortened so they fit a cell.
const char* const popup_texts[popup_count] = {"10",   "20",   "40",   "80",   "160", "320",
                                              "640",  "1280", "2560", "5120", "10K", "20K"};
constexpr int popup_font_size = 17;
constexpr int popup_text_room = 30; // keeps the outline inside the square
constexpr float popup_outline = 1.6f;

// Warm to hot as the chain grows.
Rgb popup_colour(int i)
{
    const Rgb ramp[4] = {rgb8(255, 255, 140), rgb8(255, 190, 60), rgb8(255, 110, 60), rgb8(120, 230, 255)};
    const float t = i / static_cast<float>(popup_count - 1) * 3.0f;
    const int k = std::min(static_cast<int>(t), 2);
    return mix(ramp[k], ramp[k + 1], t - k);
}

void draw_empty_tile(Canvas& c)
{
    fill_shape(c, rounded_box(0, 0, cell, cell, 0), solid(rgb8(14, 14, 24)));
    fill_shape(c, ring(cell / 2.0f, cell / 2.0f, 3.0f, 1.2f), solid(rgb8(40, 40, 64)), 0.8f,
               Box{0, 0, cell, cell});
    fill_shape(c, cut_out(rounded_box(1, 1, cell - 2, cell - 2, 4), rounded_box(2, 2, cell - 4, cell - 4, 3)),
               solid(rgb8(44, 44, 70)), 1.0f, Box{0, 0, cell, cell});
}

} // namespace

Canvas make_tile_strip()
{
    Canvas c = make_canvas(tile_count * cell, cell);
    // The dark seam around each block keeps a stack readable as separate cells.
    fill_canvas(c, solid(rgb8(10, 10, 18)));
    draw_empty_tile(c);
    for (int n = 1; n < tile_count; n++)
        draw_block(c, n * cell + 1.0f, 1.0f, cell - 2.0f, n, true);
    return c;
}

Canvas make_cursor(bool second_frame)
{
    Canvas c = make_canvas(cursor_w, cursor_h);
    // The second frame is thinner and golden, so the two alternate as a pulse.
    const float thickness = second_frame ? frame_thin : frame_thick;
    const float w = cursor_w - 2 * frame_outer, h = cursor_h - 2 * frame_outer;
    Shape outer = rounded_box(frame_outer, frame_outer, w, h, frame_radius);
    Shape inner = rounded_box(frame_outer + thickness, frame_outer + thickness, w - 2 * thickness,
                              h - 2 * thickness, inner_radius);
    Shape frame = cut_out(outer, inner);
    const Rgb colour = second_frame ? rgb8(255, 214, 60) : rgb8(255, 255, 255);
    // A dark rim on both sides keeps the frame visible over bright blocks.
    fill_shape(c, grown(frame, 0.9f), solid(rgb8(16, 16, 24)));
    fill_shape(c, frame, [&](float, float py) { return mix(colour, scaled(colour, 0.72f), py / cursor_h); });
    return c;
}

Canvas make_popup_strip(const Faces& faces)
{
    Canvas c = make_canvas(popup_count * cell, cell);
    for (int i = 0; i < popup_count; i++) {
        const std::string text = popup_texts[i];
        const TextImage img = squeezed(render_text(faces.condensed, text, popup_font_size, 2, false),
                                       popup_text_room);
        const Rgb colour = popup_colour(i);
        const int cy = cell / 2;
        draw_outlined_text(c, img, popup_outline, i * cell + cell / 2, cy,
                           [&](float, float py) { return mix(white, colour, std::clamp((py - 6) / 20.0f, 0.0f, 1.0f)); },
                           rgb8(20, 10, 30));
    }
    return c;
}
