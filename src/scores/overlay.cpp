// Taking, darkening and giving back the picture under a high-score screen.
#include "scores/overlay.h"

#include "app/colors.h"
#include "scores/score_layout.h"

Overlay::Overlay()
    : saved(create_bitmap(screen_width, screen_height)),
      dimmed(create_bitmap(screen_width, screen_height))
{
}

Overlay::~Overlay()
{
    if (saved)
        destroy_bitmap(saved);
    if (dimmed)
        destroy_bitmap(dimmed);
}

void Overlay::take(BITMAP* target)
{
    blit(target, saved, 0, 0, 0, 0, screen_width, screen_height);
    blit(target, dimmed, 0, 0, 0, 0, screen_width, screen_height);
    // Not switched back to solid: later primitives of the game blend at this level.
    set_trans_blender(0, 0, 0, overlay_dim_alpha);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(dimmed, 0, 0, screen_width - 1, screen_height - 1, color_black);
}

void Overlay::show(BITMAP* target) const
{
    blit(dimmed, target, 0, 0, 0, 0, screen_width, screen_height);
}

void Overlay::restore(BITMAP* target) const
{
    blit(saved, target, 0, 0, 0, 0, screen_width, screen_height);
}
