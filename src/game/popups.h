// The score popups that rise above a match: which chain, which cell, how long they live.
// Turning them into pictures at pixel positions is the screens' part.
#pragma once

#include <cstdint>

#include "game/rules.h"

constexpr int popup_life = 32; // updates of movement; removed on the 33rd
// At most one popup per player per tick, and each lives 33 updates: the list never overflows.
constexpr int popup_capacity = max_players * (popup_life + 1);

struct Popup {
    int8_t chain;    // the chain level of its match, 1 or more
    uint8_t player;  // whose well it rises in
    int8_t row, col; // the first matched cell; the popup starts a cell above it
    uint16_t life;   // updates of movement left: 32 at creation, down to 0
};

struct PopupList {
    Popup items[popup_capacity]; // newest first
    uint8_t count;
};

void spawn_popup(PopupList& popups, int8_t chain, uint8_t player, int8_t row, int8_t col);
// Moves every popup one pixel up; removes those that have used up their life.
void update_popups(PopupList& popups);
void clear_popups(PopupList& popups);

// Pixels the popup has risen since it was made, one per update.
inline int popup_height(const Popup& popup) { return popup_life - popup.life; }
