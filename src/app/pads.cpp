// Game pads, read through the library's joystick driver.
#include "app/pads.h"

#include <allegro.h>

namespace {

bool pads_started = false;
PadBinding menu_binding{};
PadState menu_was{};

bool button(const JOYSTICK_INFO& pad, uint8_t number)
{
    return number != 0 && number <= pad.num_buttons && pad.button[number - 1].b != 0;
}

constexpr int enter_key = KEY_ENTER << 8 | '\r';
constexpr int up_key = KEY_UP << 8;
constexpr int down_key = KEY_DOWN << 8;

} // namespace

void start_pads()
{
    pads_started = install_joystick(JOY_TYPE_AUTODETECT) == 0;
}

void poll_pads()
{
    if (pads_started && num_joysticks > 0)
        poll_joystick();
}

PadState pad_state(const PadBinding& binding)
{
    PadState state{};
    if (binding.pad == 0 || binding.pad > num_joysticks)
        return state;
    const JOYSTICK_INFO& pad = joy[binding.pad - 1];
    for (int s = 0; s < pad.num_sticks && s < max_sticks; s++) {
        if (!(binding.move_sticks & (1u << s)) || pad.stick[s].num_axis < 2)
            continue;
        state.left = state.left || pad.stick[s].axis[0].d1;
        state.right = state.right || pad.stick[s].axis[0].d2;
        state.up = state.up || pad.stick[s].axis[1].d1;
        state.down = state.down || pad.stick[s].axis[1].d2;
    }
    state.swap = button(pad, binding.swap);
    state.raise = button(pad, binding.raise);
    state.pause = button(pad, binding.pause);
    return state;
}

void set_menu_pad(const PadBinding& binding)
{
    menu_binding = binding;
    menu_was = PadState{};
}

int menu_pad_key()
{
    const PadState now = pad_state(menu_binding);
    const bool up = now.up && !menu_was.up, down = now.down && !menu_was.down;
    const bool confirm = now.swap && !menu_was.swap;
    menu_was = now;
    return confirm ? enter_key : up ? up_key : down ? down_key : 0;
}

void forget_menu_pad()
{
    menu_was = pad_state(menu_binding);
}
