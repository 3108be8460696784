// Setting text with FreeType: glyph placement on the baseline, thickening for outlines.
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

struct Typeface {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

namespace {

constexpr int max_gray = 255;

int pixels_26_6(FT_Pos v)
{
    return static_cast<int>((v + 32) >> 6);
}

void add_glyph(TextImage& img, const FT_Bitmap& bitmap, int left, int top)
{
    for (unsigned row = 0; row < bitmap.rows; row++)
        for (unsigned col = 0; col < bitmap.width; col++) {
            const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
            float v;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (line[col >> 3] & (0x80 >> (col & 7))) ? 1.0f : 0.0f;
            else
                v = line[col] / static_cast<float>(max_gray);
            const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
            if (x < 0 || y < 0 || x >= img.w || y >= img.h)
                continue;
            float& dst = img.cover[static_cast<size_t>(y * img.w + x)];
            dst = std::max(dst, v);
        }
}

} // namespace

Typeface* open_typeface(const std::string& path)
{
    auto* t = new Typeface;
    if (FT_Init_FreeType(&t->library) != 0) {
        delete t;
        return nullptr;
    }
    if (FT_New_Face(t->library, path.c_str(), 0, &t->face) != 0) {
        FT_Done_FreeType(t->library);
        delete t;
        return nullptr;
    }
    return t;
}

void close_typeface(Typeface* t)
{
    if (!t)
        return;
    FT_Done_Face(t->face);
    FT_Done_FreeType(t->library);
    delete t;
}

TextImage render_text(Typeface* t, const std::string& text, int pixel_size, int margin,
                      bool crisp, int tracking)
{
    FT_Set_Pixel_Sizes(t->face, 0, static_cast<FT_UInt>(pixel_size));
    const FT_Int32 flags = crisp ? (FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) : FT_LOAD_RENDER;
    const FT_Render_Mode mode = crisp ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;

    int advance = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (FT_Load_Char(t->face, static_cast<unsigned char>(text[i]), flags) == 0)
            advance += pixels_26_6(t->face->glyph->advance.x);
        if (i + 1 < text.size())
            advance += tracking;
    }
    const int ascent = pixels_26_6(t->face->size->metrics.ascender);
    const int descent = -pixels_26_6(t->face->size->metrics.descender);

    TextImage img;
    img.w = std::max(advance, 1) + 2 * margin;
    img.h = ascent + descent + 2 * margin;
    img.baseline = margin + ascent;
    img.cover.assign(static_cast<size_t>(img.w * img.h), 0.0f);

    int pen = margin;
    for (char ch : text) {
        if (FT_Load_Char(t->face, static_cast<unsigned char>(ch), flags) != 0)
            continue;
        FT_GlyphSlot g = t->face->glyph;
        if (g->format != FT_GLYPH_FORMAT_BITMAP)
            FT_Render_Glyph(g, mode);
        add_glyph(img, g->bitmap, pen + g->bitmap_left, img.baseline - g->bitmap_top);
        pen += pixels_26_6(g->advance.x) + tracking;
    }
    return img;
}

TextImage outline_of(const TextImage& text, float radius)
{
    TextImage out = text;
    const int reach = static_cast<int>(std::ceil(radius));
    for (int y = 0; y < text.h; y++)
        for (int x = 0; x < text.w; x++) {
            float best = 0.0f;
            for (int dy = -reach; dy <= reach; dy++)
                for (int dx = -reach; dx <= reach; dx++) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= text.w || sy >= text.h)
                        continue;
                    // Softly weighted at the rim so the outline keeps a smooth edge.
                    const float rim = std::clamp(radius + 0.5f - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
                    best = std::max(best, text.cover[static_cast<size_t>(sy * text.w + sx)] * rim);
                }
            out.cover[static_cast<size_t>(y * text.w + x)] = best;
        }
    return out;
}

TextImage squeezed(const TextImage& text, int width)
{
    if (text.w <= width)
        return text;
    TextImage out = text;
    out.w = width;
    out.cover.assign(static_cast<size_t>(out.w * out.h), 0.0f);
    const float ratio = static_cast<float>(text.w) / width;
    for (int y = 0; y < text.h; y++)
        for (int x = 0; x < width; x++) {
            // Average the source span this column covers, weighting its partial ends.
            const float from = x * ratio, to = from + ratio;
            float sum = 0;
            for (int sx = static_cast<int>(from); sx < text.w && sx < to; sx++) {
                const float part = std::min(to, sx + 1.0f) - std::max(from, static_cast<float>(sx));
                sum += part * text.cover[static_cast<size_t>(y * text.w + sx)];
            }
            out.cover[static_cast<size_t>(y * width + x)] = sum / ratio;
        }
    return out;
}

void draw_text(Canvas& c, const TextImage& text, int x, int y, const Paint& paint, float opacity)
{
    fill_coverage(c, text.cover, text.w, text.h, x, y, paint, opacity);
}

void draw_outlined_text(Canvas& c, const TextImage& text, float radius, int cx, int cy,
                        const Paint& fill, Rgb outline)
{
    const int x = cx - text.w / 2, y = cy - text.h / 2;
    draw_text(c, outline_of(text, radius), x, y, solid(outline));
    draw_text(c, text, x, y, fill);
}
