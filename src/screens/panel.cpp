// The framed, half-transparent box around the wells and the clock.
#include "screens/panel.h"

#include "screens/layout.h"

void draw_panel(BITMAP* bitmap, int16_t x, int16_t y, int16_t w, int16_t h)
{
    const int x2 = x + w - 1;
    const int y2 = y + h - 1;
    const int black = makecol(0, 0, 0);
    const int white = makecol(255, 255, 255);

    set_trans_blender(0, 0, 0, panel_level);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(bitmap, x + panel_border, y + panel_border, x2 - panel_border, y2 - panel_border,
             black);
    // Outlines from the inside out, one pixel further out each.
    const int frame_colors[panel_border] = {black, white, white, black};
    for (int i = 0; i < panel_border; i++) {
        const int inset = panel_border - 1 - i;
        rect(bitmap, x + inset, y + inset, x2 - inset, y2 - inset, frame_colors[i]);
    }
}
