// The two wells of a network game, each with its own clock, and where they meet at the end.
#include "net/versus.h"

#include <algorithm>

#include "net/well_hash.h"

namespace {

constexpr int32_t no_top_out = 0;

// One tick of one well; its hash is kept at every whole second.
void play_well(Versus& versus, int player, TickEvents& events)
{
    WellTrack& track = versus.tracks[player];
    const int32_t tick = track.played + 1;
    if (update_well(versus.live, player, PlayerInput{track.held[tick]}, events))
        track.topped_at = tick;
    track.played = tick;
    if (tick % hash_interval_ticks == 0)
        track.hashes[tick / hash_interval_ticks] = well_hash(versus.live, player);
}

bool well_can_play(const WellTrack& track, int32_t limit)
{
    return track.topped_at == no_top_out && track.played < limit;
}

// As the shared clock of a local game sounds them.
void add_clock_event(TickEvents& events, int32_t time_left)
{
    const bool sounds = time_left == warning_ticks || time_left == last_moment_ticks;
    if (sounds && events.count < max_tick_events)
        events.list[events.count++] =
            GameEvent{time_left == warning_ticks ? EventKind::warning : EventKind::last_moment, 0, 0, 0, 0};
}

} // namespace

void start_versus(Versus& versus, uint32_t seed, int local)
{
    versus = Versus{};
    start_separate_game(versus.live, max_players, seed);
    versus.local = static_cast<uint8_t>(local);
}

int32_t versus_end(const Versus& versus)
{
    int32_t end = game_ticks;
    for (const WellTrack& track : versus.tracks)
        if (track.topped_at != no_top_out)
            end = std::min(end, track.topped_at);
    return end;
}

bool local_play_over(const Versus& versus)
{
    return !well_can_play(versus.tracks[versus.local], versus_end(versus));
}

bool versus_settled(const Versus& versus)
{
    const int32_t end = versus_end(versus);
    return versus.tracks[0].played >= end && versus.tracks[1].played >= end;
}

int32_t common_tick(const Versus& versus)
{
    return std::min(versus.tracks[0].played, versus.tracks[1].played);
}

bool play_local(Versus& versus, PlayerInput input, TickEvents& events)
{
    if (local_play_over(versus))
        return false;
    WellTrack& track = versus.tracks[versus.local];
    track.held[track.played + 1] = input.held;
    track.known = track.played + 1;
    play_well(versus, versus.local, events);
    update_popups(versus.live.popups);
    versus.live.ticks = track.played;
    versus.live.time_left = track.topped_at != no_top_out ? 0 : game_ticks - track.played;
    add_clock_event(events, versus.live.time_left);
    return true;
}

bool add_remote(Versus& versus, const uint8_t* held, int32_t count, TickEvents& events)
{
    WellTrack& track = versus.tracks[remote_of(versus)];
    if (count < 0 || count > game_ticks - track.known)
        return false;
    std::copy(held, held + count, track.held + track.known + 1);
    track.known += count;
    while (well_can_play(track, track.known))
        play_well(versus, remote_of(versus), events);
    return true;
}

GameState settle_versus(const Versus& versus, int32_t end, Replay& replay)
{
    replay = Replay{};
    replay.players = max_players;
    replay.seed = versus.live.seed;
    replay.separate_wells = true;
    TickInputs was{}, now{};
    for (int32_t tick = 1; tick <= end; tick++) {
        for (int p = 0; p < max_players; p++)
            now[p].held = versus.tracks[p].held[tick];
        record_inputs(replay, tick, was, now);
        std::copy(std::begin(now), std::end(now), std::begin(was));
    }
    replay.end_tick = end;
    const GameState final_state = resimulate(replay);
    record_end(replay, final_state);
    return final_state;
}
