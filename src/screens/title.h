// The title menu: a one- or two-player game, or quit.
#pragma once

#include <cstdint>

#include "app/screen_io.h"

// The three screen-sized images a round of menu and game needs, made before each menu.
struct ScreenImages {
    ScreenImage frame_buffer;    // every frame of the game is composed here
    ScreenImage game_background; // the background with its scan-lines and panels
    ScreenImage title_image;     // the title picture, stretched to the screen
};

// Makes the three images in that order. If one cannot be made, frees those already made
// and returns false.
bool make_screen_images(const ScreenIo& io, ScreenImages& images);
// Frees them: the game background, the frame buffer, then the title image.
void free_screen_images(ScreenImages& images);

enum class MenuChoice : uint8_t { none, one_player, two_players, quit };

struct MenuStep {
    int8_t selection; // highlighted line, 1-3
    MenuChoice choice;
};

// The menu's answer to `scancode` with line `selection` highlighted: 1, 2 and Escape act
// whatever the selection, Enter acts on it, up and down move it round; nothing else counts.
MenuStep menu_step(int8_t selection, int scancode);

// Readies the images for a game: the frame buffer cleared, the title picture stretched, the
// game background stretched with its scan-lines and the clock's panel.
void prepare_screen_images(ScreenImages& images);

// Prepares the images, plays the title sound and shows the menu until a choice is made.
MenuChoice run_title(const ScreenIo& io, ScreenImages& images);
