// Where every screen shows, plays and reads: one record, so a test can hand in its own.
#pragma once

#include <allegro.h>

#include "app/assets.h"

// The program uses the screen, the retrace, the sound driver and the keyboard; a headless
// test hands in a memory bitmap, recorders and scripted keys, since it has neither a
// screen nor a keyboard driver.
struct ScreenIo {
    BITMAP* display;
    void (*wait_for_retrace)();
    void (*play_sound)(Asset sound, int pan, int pitch);
    int (*read_fresh_key)();  // empties the key buffer, then waits: readkey's result, or key_quit
    bool (*key_waiting)();    // a key is in the buffer (it stays there)
    BITMAP* (*make_image)(int w, int h); // the screen-sized images: a test may refuse one
    void (*free_image)(BITMAP* image);
    void (*show)(); // the display's picture is complete: put it where the player sees it
    int (*poll_key)(); // a key from the buffer if one waits (readkey's result), else 0; never waits
};

// A screen that animates calls this after each frame; waiting for a key shows the picture too.
inline void show(const ScreenIo& io)
{
    if (io.show)
        io.show();
}

// What read_fresh_key gives instead of a key once the program has been asked to end.
constexpr int key_quit = -1;

// Sounds at full volume; centred and at the recorded pitch unless a screen says otherwise.
constexpr int sound_volume = 255;
constexpr int centre_pan = 127;
constexpr int recorded_pitch = 1000;

// The real screen, retrace, sound driver and keyboard; ask for it after the mode is set.
ScreenIo screen_io();

// Owns one image made through a ScreenIo, and frees it through the same.
class ScreenImage {
public:
    ScreenImage() = default;
    ScreenImage(const ScreenIo& io, int w, int h) : image_(io.make_image(w, h)), free_(io.free_image) {}
    ~ScreenImage() { reset(); }
    ScreenImage(ScreenImage&& other) noexcept : image_(other.image_), free_(other.free_) { other.image_ = nullptr; }
    ScreenImage& operator=(ScreenImage&& other) noexcept;
    ScreenImage(const ScreenImage&) = delete;
    ScreenImage& operator=(const ScreenImage&) = delete;

    BITMAP* get() const { return image_; }
    explicit operator bool() const { return image_ != nullptr; }
    void reset();

private:
    BITMAP* image_ = nullptr;
    void (*free_)(BITMAP*) = nullptr;
};
