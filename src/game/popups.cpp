// The live score popups: made on a match, moved each tick, dropped after 33 updates.
#include "game/popups.h"

#include <cstring>

void spawn_popup(PopupList& popups, int8_t chain, uint8_t player, int8_t row, int8_t col)
{
    // Only a caller breaking the one-popup-per-player-per-tick rule could fill the list;
    // a popup is decoration, so the oldest would simply not be shown any more.
    const int kept = popups.count < popup_capacity ? popups.count : popup_capacity - 1;
    std::memmove(&popups.items[1], &popups.items[0], sizeof(Popup) * static_cast<size_t>(kept));
    popups.items[0] = Popup{chain, player, row, col, popup_life};
    popups.count = static_cast<uint8_t>(kept + 1);
}

void update_popups(PopupList& popups)
{
    int kept = 0;
    for (int i = 0; i < popups.count; i++) {
        Popup popup = popups.items[i];
        if (popup.life == 0)
            continue;
        popup.life--;
        popups.items[kept++] = popup;
    }
    popups.count = static_cast<uint8_t>(kept);
}

void clear_popups(PopupList& popups)
{
    popups.count = 0;
}
