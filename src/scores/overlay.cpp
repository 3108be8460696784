// Taking, darkening and giving back the picture under a high-score screen.
#include "scores/overlay.h"

#include "app/colors.h"
#include "app/screen_size.h"

namespace {
constexpr int overlay_dim_alpha = 192; // blend toward black: about a quarter of the brightness
} // namespace

bool make_overlay(const ScreenIo& io, Overlay& overlay)
{
    overlay.saved = ScreenImage(io, screen_width, screen_height);
    overlay.dimmed = ScreenImage(io, screen_width, screen_height);
    if (overlay.saved && overlay.dimmed)
        return true;
    free_overlay(overlay);
    return false;
}

void free_overlay(Overlay& overlay)
{
    overlay.saved.reset();
    overlay.dimmed.reset();
}

void take_overlay(const ScreenIo& io, const Overlay& overlay)
{
    blit(io.display, overlay.saved.get(), 0, 0, 0, 0, screen_width, screen_height);
    blit(io.display, overlay.dimmed.get(), 0, 0, 0, 0, screen_width, screen_height);
    // Not switched back to solid: later primitives of the game blend at this level.
    set_trans_blender(0, 0, 0, overlay_dim_alpha);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    rectfill(overlay.dimmed.get(), 0, 0, screen_width - 1, screen_height - 1, color_black);
}

void show_dimmed(const ScreenIo& io, const Overlay& overlay)
{
    blit(overlay.dimmed.get(), io.display, 0, 0, 0, 0, screen_width, screen_height);
}

void restore_saved(const ScreenIo& io, const Overlay& overlay)
{
    blit(overlay.saved.get(), io.display, 0, 0, 0, 0, screen_width, screen_height);
}
