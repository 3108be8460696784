// A datafile of the catalogue's shape, made in memory for headless tests.
#include "support/headless.h"

#include "app/assets.h"

#include <initializer_list>

namespace {

DATAFILE fake[asset_count + 1];

BITMAP* filled(int w, int h, int color)
{
    BITMAP* b = create_bitmap(w, h);
    clear_to_color(b, color);
    return b;
}

// A silent one-tick sample; play_sample on the null sound driver ignores it anyway.
SAMPLE* silent_sample()
{
    return create_sample(8, 0, 11025, 16);
}

} // namespace

int fake_tile_color(int n)
{
    static const int rgb[6][3] = {{255, 0, 255}, {200, 0, 0}, {0, 200, 0}, {0, 0, 200},
                                  {200, 200, 0}, {0, 200, 200}};
    if (n == 0)
        return makecol(255, 0, 255); // the 16-bit mask colour
    return makecol(rgb[n][0], rgb[n][1], rgb[n][2]);
}

void install_fake_game_data()
{
    auto set = [](Asset a, int type, void* dat) {
        fake[static_cast<int>(a)].type = type;
        fake[static_cast<int>(a)].dat = dat;
        fake[static_cast<int>(a)].size = 0;
        fake[static_cast<int>(a)].prop = nullptr;
    };
    BITMAP* strip = create_bitmap(192, 32);
    for (int n = 0; n < 6; n++)
        rectfill(strip, 32 * n, 0, 32 * n + 31, 31, fake_tile_color(n));
    BITMAP* popups = create_bitmap(384, 32);
    for (int i = 0; i < 12; i++)
        rectfill(popups, 32 * i, 0, 32 * i + 31, 31, makecol(10 * i + 10, 100, 50));

    set(Asset::logo, DAT_BITMAP, filled(640, 480, makecol(255, 0, 255)));
    set(Asset::tile_strip, DAT_BITMAP, strip);
    set(Asset::well_background, DAT_BITMAP, filled(96, 192, makecol(40, 40, 80)));
    set(Asset::game_background, DAT_BITMAP, filled(320, 240, makecol(80, 120, 160)));
    set(Asset::cursor_a, DAT_BITMAP, filled(76, 44, makecol(255, 255, 255)));
    set(Asset::cursor_b, DAT_BITMAP, filled(76, 44, makecol(255, 255, 0)));
    set(Asset::popup_strip, DAT_BITMAP, popups);
    set(Asset::title_picture, DAT_BITMAP, filled(320, 240, makecol(20, 60, 20)));
    set(Asset::normal_font, DAT_FONT, font);
    set(Asset::large_font, DAT_FONT, font);
    set(Asset::starfield_music, DAT_MIDI, nullptr);
    set(Asset::game_music, DAT_MIDI, nullptr);
    for (Asset a : {Asset::title_sound, Asset::start_sound, Asset::match_sound,
                    Asset::warning_sound, Asset::last_moment_sound})
        set(a, DAT_SAMPLE, silent_sample());
    fake[asset_count].type = DAT_END;
    fake[asset_count].dat = nullptr;
    game_data = fake;
}

void remove_fake_game_data()
{
    for (int i = 0; i < asset_count; i++) {
        if (fake[i].type == DAT_BITMAP && fake[i].dat)
            destroy_bitmap(static_cast<BITMAP*>(fake[i].dat));
        if (fake[i].type == DAT_SAMPLE && fake[i].dat)
            destroy_sample(static_cast<SAMPLE*>(fake[i].dat));
        fake[i].dat = nullptr;
    }
    game_data = nullptr;
}
