// The score popups that rise above a match: their pictures and the live list.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <forward_list>

constexpr int popup_image_count = 12;
constexpr int popup_life = 32;

struct Popup {
    BITMAP* image; // one of popup_images, not owned
    int16_t y;
    int16_t x;
    int8_t dy;
    int8_t dx;
    uint16_t life;
};

// Made once at start-up by make_popup_images; kept for the whole run.
extern BITMAP* popup_images[popup_image_count];
// Newest first.
extern std::forward_list<Popup> popup_list;

// `chain` is the chain level of the match (1 or more); (x, y) the picture's top-left on screen.
void spawn_popup(int8_t chain, int16_t y, int16_t x);
void update_popups();
void clear_popups();
