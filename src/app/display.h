// The window or screen the game shows itself in. The picture is always the game's own
// 640x480 frame; a larger display shows it enlarged by whole pixels, centred on black.
#pragma once

#include <allegro.h>
#include <cstdint>

enum class DisplayMode : uint8_t { automatic, window, fullscreen };

constexpr int max_scale = 4;
constexpr int scale_to_fit = 0;

struct DisplayRequest {
    DisplayMode mode = DisplayMode::automatic;
    int scale = 1; // 1-4, or scale_to_fit: the largest that fits the desktop
    bool scale_asked = false; // else full screen fills the desktop, and the rest stays at 1
};

// Sets the mode asked for: the library's own choice at 640x480 by default (16 bits per pixel,
// or 15), a window, or the desktop's resolution without switching modes. A mode that cannot be
// had falls back to the default with a warning; nullptr, or a message when not even that works.
const char* open_display(const DisplayRequest& request);

// Where every screen draws its 640x480 frame: the screen itself at 1x, else a canvas that
// show_display puts on the screen.
BITMAP* game_display();
// Puts the frame on the screen, each pixel repeated `scale` times; nothing to do at 1x.
void show_display();
int display_scale();

// The enlargement itself, for any bitmaps of the same depth: `to` must hold `from` `scale`
// times over in each direction.
void scale_up(BITMAP* from, BITMAP* to, int scale);
