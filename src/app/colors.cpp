// The three shared colours.
#include "app/colors.h"

#include <allegro.h>

int color_white = 0;
int color_black = 0;
int color_highlight = 0;

void make_colors()
{
    color_white = makecol(255, 255, 255);
    color_black = makecol(0, 0, 0);
    color_highlight = makecol(255, 255, 192);
}
