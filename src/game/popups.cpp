// The live score popups: made on a match, moved each tick, dropped after 33 updates.
#include "game/popups.h"

#include <new>

BITMAP* popup_images[popup_image_count] = {};
std::forward_list<Popup> popup_list;

namespace {

constexpr int long_chain_image = 1; // the thirteenth match of a chain and later show image 1
constexpr int8_t popup_rise = -1;   // pixels per tick

int popup_image_index(int8_t chain)
{
    const int k = chain - 1;
    if (k > popup_image_count - 1)
        return long_chain_image;
    return k < 0 ? 0 : k;
}

} // namespace

void spawn_popup(int8_t chain, int16_t y, int16_t x)
{
    try {
        popup_list.push_front(
            Popup{popup_images[popup_image_index(chain)], y, x, popup_rise, 0, popup_life});
    } catch (const std::bad_alloc&) {
        // A popup is only decoration: without memory for it the game goes on without.
    }
}

void update_popups()
{
    auto previous = popup_list.before_begin();
    for (auto it = popup_list.begin(); it != popup_list.end();) {
        if (it->life == 0) {
            it = popup_list.erase_after(previous);
            continue;
        }
        it->life--;
        it->x = static_cast<int16_t>(it->x + it->dx);
        it->y = static_cast<int16_t>(it->y + it->dy);
        previous = it++;
    }
}

void clear_popups()
{
    popup_list.clear();
}
