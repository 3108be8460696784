// The title menu: one- or two-player game, or quit. Each call prepares the images a game
// needs and, unless the user quits, plays one game.
#pragma once

#include <allegro.h>
#include <cstdint>

#include "screens/output.h"

// What a key does in the menu.
enum class MenuAction : uint8_t { none, one_player, two_players, quit };

struct MenuStep {
    int8_t selection; // highlighted line, 1-3
    MenuAction action;
};

// The menu's answer to `scancode` with line `selection` highlighted: 1, 2 and Escape act
// whatever the selection, Enter acts on it, up and down move it round; nothing else counts.
MenuStep menu_step(int8_t selection, int scancode);

// The three screen-sized images a game needs.
struct GameImages {
    BITMAP* frame_buffer;
    BITMAP* game_background;
    BITMAP* title_image;
};

// Makes the three images in that order. If one cannot be made, frees those already made,
// leaves all three null and returns false.
bool make_game_images(GameImages& images);
void free_game_images(GameImages& images);

// Shows the menu and plays the chosen game. True after a game; false when the user
// quits, or when the images cannot be made (the program then ends as after quitting).
bool run_title();
// run_title showing itself, and the game, through `output`.
bool run_title_on(const Output& output);
