// One machine's side of a network game: the greeting, the flow of inputs and hashes, the end
// both machines settle on, and the checks every message of the peer passes. It speaks through
// a Transport and keeps time by the milliseconds it is handed, so it runs alike over ENet and
// over the tests' simulated network.
#pragma once

#include <string>

#include "net/transport.h"
#include "net/versus.h"
#include "replay/replay.h"

enum class Role : uint8_t { host, guest };

enum class Phase : uint8_t {
    connecting, // host: waiting for a peer; guest: for the host to answer
    greeting,   // the versions and the seed go across
    playing,    // the clocks run
    finishing,  // settled here; the peer gets a moment to settle too
    over,
};

enum class Ending : uint8_t {
    none,
    settled,          // the game reached its end on both machines
    left,             // this machine's player left
    opponent_left,    // the other player left
    opponent_lost,    // the other machine went quiet, or the connection dropped
    unreachable,      // no host answered
    version_mismatch, // the two speak different protocols
    broken_rules,     // the other machine sent what no Blockrise sends
    out_of_step,      // the wells' hashes differ: the two games went apart
};

struct SessionLimits {
    int64_t connect_ms = 5000;  // a guest's wait for the host to answer
    int64_t greeting_ms = 5000; // from the connection to the game's start
    int64_t silence_ms = 5000;  // the longest a peer may go unheard
    int64_t linger_ms = 2000;   // after settling, the wait for the peer to settle too
    int64_t keepalive_ms = 250; // nothing sent for this long: a keepalive goes out
    int32_t batch_ticks = 4;    // unchanged inputs wait at most this many ticks to go out
};

// A game sends at most an inputs message a tick, a hash a second and a few keepalives; a
// stalled link may then deliver seconds of them at once. Past this rate a peer is flooding.
constexpr int64_t rate_burst = 600;
constexpr int64_t rate_per_second = 120;
// How far the peer's inputs may run ahead of this machine's clock, and lag behind it while the
// end still waits on them.
constexpr int32_t max_lead_ticks = 180;
constexpr int32_t max_lag_ticks = 600;
// The host starts its clock half a round trip late, so that each machine sees the other's
// well equally far behind; never by more than this.
constexpr int32_t max_head_start = 30;

struct Session {
    Role role;
    Phase phase;
    Ending ending;
    SessionLimits limits;
    uint32_t seed;
    uint16_t peer_version;
    std::string detail;      // which rule the peer broke, or the tick the wells parted on
    int64_t phase_since;     // ms when the phase began
    int64_t heard_at;        // ms when the peer was last heard
    int64_t sent_at;         // ms when a message last went out
    int64_t start_sent_at;   // host: when the start went out, to time the round trip
    bool started;            // the clocks began: there will be a result and a replay
    int64_t clock_zero;      // ms of tick 0 here
    int32_t head_start;      // ticks this machine's game starts behind its clock
    int64_t rate_tokens;     // thousandths of a message the peer may still send
    int64_t rate_at;
    Versus versus;
    int32_t sent_ticks;      // local ticks sent
    int32_t peer_hash_tick;  // the peer's last hash
    bool peer_gone;          // the peer left after its part of the game was all here
    bool peer_done;
    int32_t peer_end;
    int32_t peer_scores[max_players];
    bool judged;             // end_tick, final_state and replay are set
    int32_t end_tick;        // the tick the game was judged at
    GameState final_state;   // both wells after end_tick
    Replay replay;           // the game as recorded here
    TickEvents remote_events; // matches in the remote well since the last tick
};

// A session about to wait (host) or connect (guest). The host's `seed` is the game's; the
// guest's is replaced by the host's.
void open_session(Session& session, Role role, uint32_t seed, int64_t now, const SessionLimits& limits = {});
// Takes in everything the transport has, answers it, minds the time-outs, sends what is due.
void service_session(Session& session, Transport& transport, int64_t now);
// One tick of this machine's clock with its player's input: played at once, and sent. Gives
// the sounds of the tick: the local well's and clock's, and the remote well's since the last.
TickEvents session_tick(Session& session, Transport& transport, PlayerInput input, int64_t now);
// This machine's player leaves: the other is told, the game is judged where both wells were.
void leave_session(Session& session, Transport& transport, int64_t now);

inline bool session_over(const Session& session) { return session.phase == Phase::over; }
// The wells to show: live while the game goes on, then as they stood at the end.
const GameState& session_view(const Session& session);
// What a player is told of how the session ended; empty for a game that ran its course.
std::string ending_text(const Session& session);
// This machine's clock in ticks, and how far behind it the other well is shown.
int32_t clock_tick(const Session& session, int64_t now);
