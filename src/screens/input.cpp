// The keyboard turned into the simulation's input records.
#include "screens/input.h"

#include <allegro.h>
#include <cstring>

namespace {

constexpr uint32_t echo_window_ticks = 1;

const ControlKeys one_player_keys = {{{KEY_UP}, {KEY_DOWN}, {KEY_LEFT}, {KEY_RIGHT}, {KEY_RSHIFT}, {KEY_RCONTROL}}};
const ControlKeys left_player_keys = {{{KEY_W}, {KEY_S}, {KEY_A}, {KEY_D}, {KEY_LSHIFT}, {KEY_LCONTROL}}};

// Most Linux pad drivers report the left stick as the first stick and the d-pad as the fourth.
constexpr uint8_t default_move_sticks = 1u << 0 | 1u << 3;
constexpr uint8_t default_swap_button = 1, default_raise_button = 2, default_pause_button = 8;
constexpr PadBinding first_pad = {1, default_move_sticks, default_swap_button, default_raise_button, default_pause_button};
constexpr PadBinding second_pad = {2, default_move_sticks, default_swap_button, default_raise_button, default_pause_button};

// Copies the key table with every echoed left modifier released.
void filter_echo(ModifierEcho& echo, uint32_t now, char (&held)[KEY_MAX])
{
    for (int k = 0; k < KEY_MAX; k++)
        held[k] = key[k] ? 1 : 0;
    for (ModifierEcho::Pair& pair : echo.pairs) {
        const bool right = held[pair.right] != 0;
        const bool left = held[pair.left] != 0;
        if (right && !pair.right_was_down)
            pair.right_down_at = now;
        if (!left)
            pair.hiding = false;
        else if (!pair.left_was_down && right && now - pair.right_down_at <= echo_window_ticks)
            pair.hiding = true;
        pair.left_was_down = left;
        pair.right_was_down = right;
        if (pair.hiding)
            held[pair.left] = 0;
    }
}

} // namespace

ControlSet control_set_of(int player, int count)
{
    if (count < 2)
        return CONTROLS_ONE_PLAYER;
    return player == 0 ? CONTROLS_PLAYER1 : CONTROLS_PLAYER2;
}

Controls default_controls()
{
    return Controls{{one_player_keys, left_player_keys, one_player_keys}, {first_pad, first_pad, second_pad}};
}

InputReader make_input_reader(const Controls& controls)
{
    InputReader reader{controls, {}};
    reset_input(reader);
    return reader;
}

void reset_input(InputReader& reader)
{
    reader.echo.pairs[0] = ModifierEcho::Pair{KEY_LSHIFT, KEY_RSHIFT, false, false, false, 0};
    reader.echo.pairs[1] = ModifierEcho::Pair{KEY_LCONTROL, KEY_RCONTROL, false, false, false, 0};
}

PlayerInput input_from_keys(const ControlKeys& set, const volatile char* held)
{
    PlayerInput input{0};
    for (int action = 0; action < action_count; action++)
        for (uint8_t code : set.keys[action])
            if (code != 0 && held[code])
                input.held = static_cast<uint8_t>(input.held | action_bit(static_cast<Action>(action)));
    return input;
}

PlayerInput input_from_pad(const PadState& pad)
{
    const bool held[action_count] = {pad.up, pad.down, pad.left, pad.right, pad.swap, pad.raise};
    PlayerInput input{0};
    for (int action = 0; action < action_count; action++)
        if (held[action])
            input.held = static_cast<uint8_t>(input.held | action_bit(static_cast<Action>(action)));
    return input;
}

void read_inputs(InputReader& reader, int count, uint32_t now, TickInputs& inputs)
{
    char held[KEY_MAX] = {};
    filter_echo(reader.echo, now, held);
    poll_pads();
    for (int i = 0; i < max_players; i++) {
        inputs[i] = PlayerInput{0};
        if (i >= count)
            continue;
        const ControlSet set = control_set_of(i, count);
        const PlayerInput keys = input_from_keys(reader.controls.sets[set], held);
        const PlayerInput pad = input_from_pad(pad_state(reader.controls.pads[set]));
        inputs[i].held = static_cast<uint8_t>(keys.held | pad.held);
    }
}

bool pad_pause_held(const Controls& controls, int count)
{
    for (int i = 0; i < count; i++)
        if (pad_state(controls.pads[control_set_of(i, count)]).pause)
            return true;
    return false;
}
