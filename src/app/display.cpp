// The window or screen the game shows itself in, and the enlargement of its frame.
#include "app/display.h"

#include <cstdio>
#include <cstring>

#include "app/screen_size.h"

namespace {

constexpr int preferred_depth = 16;
constexpr int fallback_depth = 15;

BITMAP* canvas = nullptr;  // the 640x480 frame, when it is not the screen itself
BITMAP* enlarged = nullptr; // the frame at its scale, copied to the screen in one blit
int scale = 1;
int left = 0, top = 0;

const char* mode_name(DisplayMode mode)
{
    switch (mode) {
    case DisplayMode::window: return "a window";
    case DisplayMode::fullscreen: return "the full screen";
    default: return "the screen";
    }
}

bool set_mode(int card, int w, int h)
{
    set_color_depth(preferred_depth);
    if (set_gfx_mode(card, w, h, 0, 0) == 0)
        return true;
    set_color_depth(fallback_depth);
    return set_gfx_mode(card, w, h, 0, 0) == 0;
}

int largest_fitting_scale(int w, int h)
{
    int fits = w / screen_width < h / screen_height ? w / screen_width : h / screen_height;
    if (fits > max_scale)
        fits = max_scale;
    return fits < 1 ? 1 : fits;
}

bool open_enlarged(const DisplayRequest& request)
{
    int desktop_w = 0, desktop_h = 0;
    const bool desktop_known = get_desktop_resolution(&desktop_w, &desktop_h) == 0;
    // Full screen with no scale asked for fills the desktop: a small picture in a sea of black
    // is not what anyone asking for the full screen wants.
    int wanted = request.mode == DisplayMode::fullscreen && !request.scale_asked ? scale_to_fit : request.scale;
    if (wanted == scale_to_fit)
        wanted = desktop_known ? largest_fitting_scale(desktop_w, desktop_h) : 1;
    int w = screen_width * wanted, h = screen_height * wanted;
    int card = request.mode == DisplayMode::window ? GFX_AUTODETECT_WINDOWED : GFX_AUTODETECT;
    if (request.mode == DisplayMode::fullscreen) {
        if (!desktop_known)
            return false;
        card = GFX_AUTODETECT_FULLSCREEN;
        const int fits = largest_fitting_scale(desktop_w, desktop_h);
        if (wanted > fits) {
            std::fprintf(stderr, "blockrise: scale %d does not fit the %dx%d desktop; using %d\n", wanted,
                         desktop_w, desktop_h, fits);
            wanted = fits;
        }
        w = desktop_w;
        h = desktop_h;
    }
    if (!set_mode(card, w, h))
        return false;
    scale = wanted;
    left = (SCREEN_W - screen_width * scale) / 2;
    top = (SCREEN_H - screen_height * scale) / 2;
    if (scale == 1 && SCREEN_W == screen_width && SCREEN_H == screen_height)
        return true;
    canvas = create_bitmap(screen_width, screen_height);
    enlarged = create_bitmap(screen_width * scale, screen_height * scale);
    if (!canvas || !enlarged)
        return false;
    clear_bitmap(canvas);
    clear_bitmap(screen);
    return true;
}

} // namespace

const char* open_display(const DisplayRequest& request)
{
    const bool asked = request.mode != DisplayMode::automatic || request.scale != 1;
    if (asked) {
        if (open_enlarged(request))
            return nullptr;
        std::fprintf(stderr, "blockrise: cannot show the game on %s at scale %d; using the usual 640x480 mode\n",
                     mode_name(request.mode), request.scale);
        if (enlarged)
            destroy_bitmap(enlarged);
        if (canvas)
            destroy_bitmap(canvas);
        canvas = enlarged = nullptr;
        scale = 1;
        left = top = 0;
    }
    if (set_mode(GFX_AUTODETECT, screen_width, screen_height))
        return nullptr;
    return "cannot set a 640x480 screen mode at 16 or 15 bits per pixel";
}

BITMAP* game_display()
{
    return canvas ? canvas : screen;
}

void show_display()
{
    if (!canvas)
        return;
    scale_up(canvas, enlarged, scale);
    blit(enlarged, screen, 0, 0, left, top, enlarged->w, enlarged->h);
}

int display_scale()
{
    return scale;
}

void scale_up(BITMAP* from, BITMAP* to, int factor)
{
    if (bitmap_color_depth(from) != 15 && bitmap_color_depth(from) != 16) {
        stretch_blit(from, to, 0, 0, from->w, from->h, 0, 0, from->w * factor, from->h * factor);
        return;
    }
    // Both depths keep a pixel in 16 bits: each is repeated along its row, and the row is
    // then copied `factor` times.
    for (int y = 0; y < from->h; y++) {
        const uint16_t* in = reinterpret_cast<const uint16_t*>(from->line[y]);
        uint16_t* out = reinterpret_cast<uint16_t*>(to->line[y * factor]);
        for (int x = 0; x < from->w; x++)
            for (int k = 0; k < factor; k++)
                out[x * factor + k] = in[x];
        for (int k = 1; k < factor; k++)
            std::memcpy(to->line[y * factor + k], out, sizeof(uint16_t) * static_cast<size_t>(to->w));
    }
}
