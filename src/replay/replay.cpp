// Recording, playing back and re-simulating a game's inputs.
#include "replay/replay.h"

void record_inputs(Replay& replay, int32_t tick, const TickInputs& was, const TickInputs& now)
{
    for (int p = 0; p < replay.players; p++) {
        const uint8_t changed = static_cast<uint8_t>(was[p].held ^ now[p].held);
        for (int a = 0; a < action_count; a++)
            if (changed & (1u << a))
                replay.changes.push_back(InputChange{tick, static_cast<uint8_t>(p), static_cast<uint8_t>(a),
                                                     (now[p].held & (1u << a)) != 0});
    }
}

void record_end(Replay& replay, const GameState& game)
{
    replay.end_tick = game.ticks;
    for (int p = 0; p < max_players; p++) {
        replay.scores[p] = p < game.player_count ? game.players[p].score : 0;
        replay.topped_out[p] = p < game.player_count && game.players[p].topped_out;
    }
}

void replay_inputs(const Replay& replay, int32_t tick, size_t& next, TickInputs& inputs)
{
    for (; next < replay.changes.size() && replay.changes[next].tick == tick; next++) {
        const InputChange& change = replay.changes[next];
        const uint8_t bit = static_cast<uint8_t>(1u << change.action);
        PlayerInput& input = inputs[change.player];
        input.held = static_cast<uint8_t>(change.down ? input.held | bit : input.held & ~bit);
    }
}

void start_replay_game(GameState& game, const Replay& replay)
{
    if (replay.separate_wells)
        start_separate_game(game, replay.players, replay.seed);
    else
        start_game(game, replay.players, replay.seed);
}

GameState resimulate(const Replay& replay)
{
    GameState game;
    start_replay_game(game, replay);
    TickInputs inputs{};
    size_t next = 0;
    for (int32_t tick = 1; tick <= replay.end_tick && !game_is_over(game); tick++) {
        replay_inputs(replay, tick, next, inputs);
        update_game(game, inputs);
    }
    return game;
}

std::string verify_replay(const Replay& replay)
{
    const GameState game = resimulate(replay);
    if (game.ticks != replay.end_tick)
        return "the game ends on tick " + std::to_string(game.ticks) + ", not on the recorded " +
               std::to_string(replay.end_tick);
    for (int p = 0; p < replay.players; p++) {
        const std::string who = "player " + std::to_string(p + 1);
        if (game.players[p].score != replay.scores[p])
            return who + " scores " + std::to_string(game.players[p].score) + ", not the recorded " +
                   std::to_string(replay.scores[p]);
        if ((game.players[p].topped_out != 0) != replay.topped_out[p])
            return who + (replay.topped_out[p] ? " does not top out, as recorded" : " tops out, unlike the record");
    }
    return "";
}
