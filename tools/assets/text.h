// Text set with FreeType into coverage maps: smooth for pictures, crisp for the game's fonts.
#pragma once

#include "canvas.h"

#include <string>
#include <vector>

struct Typeface; // a loaded TrueType face

struct TextImage {
    int w = 0, h = 0;
    int baseline = 0; // rows from the top to the baseline
    std::vector<float> cover;
};

Typeface* open_typeface(const std::string& path);
void close_typeface(Typeface* face);

// The text on one line at `pixel_size` (the em height): the box is the pen's
// advance wide and ascender-to-descender tall, plus `margin` on every side.
// Crisp renders one-bit glyphs (every pixel 0 or 1); `tracking` spreads letters.
TextImage render_text(Typeface* face, const std::string& text, int pixel_size, int margin,
                      bool crisp, int tracking = 0);

// The text thickened by `radius` pixels all round: painted under the text it makes an outline.
TextImage outline_of(const TextImage& text, float radius);

// The text narrowed (never widened) to at most `width` pixels, its height kept:
// tall narrow digits read better in a small square than small wide ones.
TextImage squeezed(const TextImage& text, int width);

// Paints `text` with its box's top-left at (x, y).
void draw_text(Canvas& c, const TextImage& text, int x, int y, const Paint& paint,
               float opacity = 1.0f);
// Outlined text whose box is centred on (cx, cy).
void draw_outlined_text(Canvas& c, const TextImage& text, float radius, int cx, int cy,
                        const Paint& fill, Rgb outline);
