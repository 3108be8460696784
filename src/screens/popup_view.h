// Cutting the popup pictures at start-up, and drawing the live popups.
#pragma once

#include <allegro.h>

// Cuts the twelve popup_images from the popup strip and empties popup_list. Once, at start-up.
void make_popup_images();

// Draws, newest first, every popup lying wholly below the wells' top edge; the others
// stay alive but unseen.
void draw_popups(BITMAP* frame_buffer);
