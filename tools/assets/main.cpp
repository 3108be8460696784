// The asset generator: paints, composes and synthesises every object of "blocks.dat".
// Usage: make_assets BOLD.ttf CONDENSED.ttf then the seventeen output files in datafile order.
#include "font_grid.h"
#include "pictures.h"
#include "sounds.h"
#include "tunes.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

constexpr int objects = 17;
// Font sizes in pixels per em: the normal font comes out 19 pixels tall, the large 38.
constexpr int normal_font_size = 16, large_font_size = 32;

bool picture(const Canvas& c, const char* path, bool masked)
{
    return save_canvas(c, path, masked);
}

bool make_all(const Faces& faces, char** out)
{
    constexpr bool masked = true, opaque = false;
    bool ok = true;
    ok = ok && picture(make_logo(faces), out[0], masked);
    ok = ok && picture(make_tile_strip(), out[1], opaque);
    ok = ok && picture(make_well_background(), out[2], opaque);
    ok = ok && picture(make_game_background(), out[3], opaque);
    ok = ok && picture(make_cursor(false), out[4], masked);
    ok = ok && picture(make_cursor(true), out[5], masked);
    ok = ok && picture(make_popup_strip(faces), out[6], masked);
    ok = ok && picture(make_title_picture(faces), out[7], opaque);
    ok = ok && save_font_grid(faces.bold, normal_font_size, out[8]);
    ok = ok && save_font_grid(faces.bold, large_font_size, out[9]);
    ok = ok && save_starfield_tune(out[10]);
    ok = ok && save_game_tune(out[11]);
    ok = ok && save_title_sound(out[12]);
    ok = ok && save_start_sound(out[13]);
    ok = ok && save_match_sound(out[14]);
    ok = ok && save_warning_sound(out[15]);
    ok = ok && save_last_moment_sound(out[16]);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 + objects) {
        std::fprintf(stderr, "usage: %s BOLD.ttf CONDENSED.ttf OUT0 ... OUT16\n", argv[0]);
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
        std::fprintf(stderr, "make_assets: cannot start the graphics library\n");
        return 1;
    }
    Faces faces{open_typeface(argv[1]), open_typeface(argv[2])};
    if (!faces.bold || !faces.condensed) {
        std::fprintf(stderr, "make_assets: cannot open the fonts %s and %s\n", argv[1], argv[2]);
        return 1;
    }
    const bool ok = make_all(faces, argv + 3);
    close_typeface(faces.bold);
    close_typeface(faces.condensed);
    if (!ok) {
        std::fprintf(stderr, "make_assets: could not write every object\n");
        return 1;
    }
    return 0;
}
