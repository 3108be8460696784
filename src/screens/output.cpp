// The real screen, retrace and sound driver, and the image makers the screens use.
#include "screens/output.h"

#include "screens/layout.h"

namespace {

void play_sound(Asset sound)
{
    play_asset_sample(sound, sound_volume, sound_pan, sound_pitch);
}

// Keys pressed before a screen was ready are not meant for it.
int read_fresh_key()
{
    clear_keybuf();
    return readkey();
}

} // namespace

Output screen_output()
{
    return Output{screen, vsync, play_sound, read_fresh_key};
}

BITMAP* (*create_screen_image)(int w, int h) = create_bitmap;
void (*destroy_screen_image)(BITMAP* image) = destroy_bitmap;
