// The real screen, retrace, sound driver and keyboard.
#include "app/screen_io.h"

#include "app/display.h"
#include "app/pads.h"
#include "app/quit.h"

namespace {

void play_sound(Asset sound, int pan, int pitch)
{
    if (SAMPLE* sample = asset_sample(sound))
        play_sample(sample, sound_volume, pan, pitch, 0);
}

constexpr int key_poll_ms = 5;

// Keys pressed before a screen was ready are not meant for it. The wait polls rather than
// sleeping in readkey, so that a request to end and the pad are seen at once.
int read_fresh_key()
{
    show_display();
    clear_keybuf();
    poll_pads();
    forget_menu_pad();
    while (!keypressed()) {
        if (quit_requested())
            return key_quit;
        rest(key_poll_ms);
        poll_pads();
        if (const int pressed = menu_pad_key())
            return pressed;
    }
    return readkey();
}

int poll_key()
{
    return keypressed() ? readkey() : 0;
}

// A request to end counts as a key: the starfield gives way to it.
bool key_waiting()
{
    return keypressed() != 0 || quit_requested();
}

} // namespace

ScreenIo screen_io()
{
    return ScreenIo{game_display(), vsync, play_sound, read_fresh_key, key_waiting, create_bitmap, destroy_bitmap,
                    show_display, poll_key};
}

ScreenImage& ScreenImage::operator=(ScreenImage&& other) noexcept
{
    if (this != &other) {
        reset();
        image_ = other.image_;
        free_ = other.free_;
        other.image_ = nullptr;
    }
    return *this;
}

void ScreenImage::reset()
{
    if (image_ && free_)
        free_(image_);
    image_ = nullptr;
}
