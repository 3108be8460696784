// One tick of play: each player in turn runs every step of the rules, then the popups and
// the clock move on.
#include "game/steps.h"

void add_event(TickEvents& events, const GameEvent& event)
{
    if (events.count < max_tick_events)
        events.list[events.count++] = event;
}

bool update_well(GameState& game, int index, PlayerInput input, TickEvents& events)
{
    const uint8_t i = static_cast<uint8_t>(index);
    Player& player = game.players[i];
    GameRandom& random = game.separate_wells ? game.well_randoms[i] : game.random;
    bool topped_out = false;
    move_cursor(player, input);
    start_swap(player, input);
    if (rise_stack(player, input, random)) {
        topped_out = true;
        add_event(events, GameEvent{EventKind::top_out, i, 0, 0, 0});
    }
    fall_blocks(player);
    if (find_matches(player))
        score_matches(player, i, game.popups, events);
    advance_actions(player);
    end_tick(player);
    return topped_out;
}

bool update_players(GameState& game, const TickInputs& inputs, TickEvents& events)
{
    bool topped_out = false;
    for (uint8_t i = 0; i < game.player_count; i++)
        topped_out = update_well(game, i, inputs[i], events) || topped_out;
    return topped_out;
}

// A top-out ends the game on its tick; the clock's sounds come as it passes their moments.
TickEvents update_game(GameState& game, const TickInputs& inputs)
{
    TickEvents events{};
    if (update_players(game, inputs, events))
        game.time_left = 0;
    update_popups(game.popups);
    game.ticks++;
    if (game.time_left != 0)
        game.time_left--;
    if (game.time_left == warning_ticks)
        add_event(events, GameEvent{EventKind::warning, 0, 0, 0, 0});
    else if (game.time_left == last_moment_ticks)
        add_event(events, GameEvent{EventKind::last_moment, 0, 0, 0, 0});
    return events;
}
