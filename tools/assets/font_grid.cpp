// Building the glyph grid that the datafile tool reads as a one-colour font.
#include "font_grid.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int first_char = ' ';
constexpr int last_char = '~';
constexpr int glyphs_per_row = 16;
constexpr int border = 255; // the colour the importer looks for between cells
constexpr int ink = 1;

} // namespace

bool save_font_grid(Typeface* face, int pixel_size, const std::string& path)
{
    std::vector<TextImage> glyphs;
    for (int ch = first_char; ch <= last_char; ch++)
        glyphs.push_back(render_text(face, std::string(1, static_cast<char>(ch)), pixel_size, 0, true));

    // Every cell of a row shares the font's full height; widths follow each glyph's advance.
    const int cell_h = glyphs.front().h;
    int grid_w = 0;
    const int rows = (static_cast<int>(glyphs.size()) + glyphs_per_row - 1) / glyphs_per_row;
    for (int row = 0; row < rows; row++) {
        int w = 1;
        for (int i = row * glyphs_per_row; i < std::min<int>((row + 1) * glyphs_per_row, glyphs.size()); i++)
            w += glyphs[static_cast<size_t>(i)].w + 1;
        grid_w = std::max(grid_w, w);
    }
    const int grid_h = rows * (cell_h + 1) + 1;

    BITMAP* grid = create_bitmap_ex(8, grid_w, grid_h);
    if (!grid)
        return false;
    clear_to_color(grid, border);
    for (size_t i = 0; i < glyphs.size(); i++) {
        const TextImage& g = glyphs[i];
        const int row = static_cast<int>(i) / glyphs_per_row;
        int x = 1;
        for (size_t k = static_cast<size_t>(row * glyphs_per_row); k < i; k++)
            x += glyphs[k].w + 1;
        const int y = 1 + row * (cell_h + 1);
        rectfill(grid, x, y, x + g.w - 1, y + cell_h - 1, 0);
        for (int gy = 0; gy < std::min(g.h, cell_h); gy++)
            for (int gx = 0; gx < g.w; gx++)
                if (g.cover[static_cast<size_t>(gy * g.w + gx)] >= 0.5f)
                    putpixel(grid, x + gx, y + gy, ink);
    }

    PALETTE pal;
    for (int i = 0; i < PAL_SIZE; i++)
        pal[i].r = pal[i].g = pal[i].b = 0;
    pal[ink].r = pal[ink].g = pal[ink].b = 63;
    pal[border].r = pal[border].g = 63;
    const bool ok = save_bitmap(path.c_str(), grid, pal) == 0;
    destroy_bitmap(grid);
    return ok;
}
