// Screen recognisers: each looks for the colour of a caption where the game draws it.
#include "harness/screens.h"

namespace {

Rect menu_line(int i)
{
    return {menu_x, menu_line_y[i], menu_line_chars * builtin_font_size, builtin_font_size};
}

} // namespace

int menu_selection(const Frame& frame)
{
    int selected = 0;
    for (int i = 0; i < 3; i++) {
        const int lit = count_near(frame, menu_line(i), color_highlight_seen);
        const int plain = count_near(frame, menu_line(i), color_white_seen);
        if (lit >= text_ink_min && plain < text_ink_min) {
            if (selected)
                return 0;
            selected = i + 1;
        } else if (plain < text_ink_min) {
            return 0;
        }
    }
    return selected;
}

bool menu_shown(const Frame& frame) { return menu_selection(frame) != 0; }

bool name_entry_shown(const Frame& frame)
{
    return count_near(frame, entry_caption_band, color_highlight_seen) >= text_ink_min &&
           count_near(frame, table_caption_band, color_highlight_seen) < name_ink_min &&
           !menu_shown(frame);
}

bool table_shown(const Frame& frame)
{
    return count_near(frame, table_caption_band, color_highlight_seen) >= text_ink_min &&
           count_near(frame, entry_caption_band, color_highlight_seen) < name_ink_min &&
           !menu_shown(frame);
}

bool game_shown(const Frame& frame)
{
    return count_near(frame, clock_band, color_white_seen) >= text_ink_min && !menu_shown(frame) &&
           !name_entry_shown(frame) && !table_shown(frame);
}

int name_ink(const Frame& frame) { return count_near(frame, name_band, color_name_seen); }
