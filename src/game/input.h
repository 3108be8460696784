// What one player holds on one tick: the simulation's only input.
#pragma once

#include <cstdint>

// In the order of a player's controls.
enum Action : uint8_t { ACTION_UP, ACTION_DOWN, ACTION_LEFT, ACTION_RIGHT, ACTION_SWAP, ACTION_RAISE };
constexpr int action_count = 6;

// One bit per Action, set while it is held.
struct PlayerInput {
    uint8_t held;
};

constexpr uint8_t action_bit(Action action) { return static_cast<uint8_t>(1u << action); }
constexpr bool is_held(PlayerInput input, Action action) { return (input.held & action_bit(action)) != 0; }
