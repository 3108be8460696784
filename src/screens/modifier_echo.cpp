// Telling the X11 driver's echo of a right modifier on its left twin from a real press.
#include "screens/modifier_echo.h"

#include <allegro.h>

namespace {

constexpr uint32_t echo_window_ticks = 1;

struct ModifierPair {
    int left;
    int right;
    bool left_was_down;
    bool right_was_down;
    uint32_t right_down_at;
};

ModifierPair pairs[] = {
    {KEY_LSHIFT, KEY_RSHIFT, false, false, 0},
    {KEY_LCONTROL, KEY_RCONTROL, false, false, 0},
};

} // namespace

void hide_modifier_echo(volatile char* keys, uint32_t now)
{
    for (ModifierPair& pair : pairs) {
        const bool right = keys[pair.right] != 0;
        bool left = keys[pair.left] != 0;
        if (right && !pair.right_was_down)
            pair.right_down_at = now;
        if (left && !pair.left_was_down && right && now - pair.right_down_at <= echo_window_ticks) {
            keys[pair.left] = 0;
            left = false;
        }
        pair.left_was_down = left;
        pair.right_was_down = right;
    }
}

void reset_modifier_echo()
{
    for (ModifierPair& pair : pairs) {
        pair.left_was_down = false;
        pair.right_was_down = false;
        pair.right_down_at = 0;
    }
}
