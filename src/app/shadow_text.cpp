// Text with a black shadow two pixels down and right.
#include "app/shadow_text.h"

#include "app/colors.h"

void draw_shadow_text(BITMAP* bitmap, FONT* f, int16_t x, int16_t y, int color, const char* text)
{
    const int half = text_length(f, text) / 2;
    // textout, not textprintf: a "%" in a name from the file is just a character.
    textout_ex(bitmap, f, text, x - half + shadow_offset, y + shadow_offset, color_black, -1);
    textout_ex(bitmap, f, text, x - half, y, color, -1);
}
