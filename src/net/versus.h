// A network game as one machine sees it: its own player's well played at once, tick by tick,
// the other well played as that player's inputs arrive, and the end tick both machines settle
// on. Pure: no clock, no network.
#pragma once

#include <cstdint>

#include "game/game.h"
#include "net/protocol.h"
#include "replay/replay.h"

constexpr int hash_slots = game_ticks / hash_interval_ticks + 1;

// One well's history: every tick's input, so that its state at any tick can be had again.
struct WellTrack {
    uint8_t held[game_ticks + 1]; // held[t]: what the player held on tick t (from 1)
    int32_t known;                // ticks whose input is known here
    int32_t played;               // ticks simulated in the live game
    int32_t topped_at;            // the tick it topped out on, or 0
    uint64_t hashes[hash_slots];  // well_hash after each whole second that was played
};

struct Versus {
    GameState live;  // what the screen shows while the game goes on
    uint8_t local;   // this machine's player: 0 hosts (left well), 1 joined (right well)
    WellTrack tracks[max_players];
};

void start_versus(Versus& versus, uint32_t seed, int local);

inline uint8_t remote_of(const Versus& versus) { return static_cast<uint8_t>(1 - versus.local); }

// The game ends on the first top-out of either well, or when the clock runs out: the earliest
// of those known so far. Later news can only bring it forward, never past a tick already known.
int32_t versus_end(const Versus& versus);
// This machine's player can play no further tick.
bool local_play_over(const Versus& versus);
// Both wells have reached the end: it can no longer change, and the other machine reaches the
// same one.
bool versus_settled(const Versus& versus);
// The last tick both wells have reached: where a game cut short is judged.
int32_t common_tick(const Versus& versus);

// One tick of this machine's clock: the local well plays it with `input`, unless its play is
// over. The clock, its sounds and the popups follow the local well. False if it did not play.
bool play_local(Versus& versus, PlayerInput input, TickEvents& events);
// The other player's inputs for the next `count` ticks after those known; the remote well
// plays them at once, up to its top-out. False, with nothing taken, if they would run past
// the game's last tick.
bool add_remote(Versus& versus, const uint8_t* held, int32_t count, TickEvents& events);

// The game as recorded by this machine, ended at `end` (no later than common_tick), and the
// state it reaches: both wells as they stood after tick `end`, whatever either played since.
GameState settle_versus(const Versus& versus, int32_t end, Replay& replay);
