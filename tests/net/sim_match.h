// A whole network game between two sessions, each side ticking at 60 Hz of its own from its
// own start with a seeded stream of what its player holds: over the simulated network on a
// virtual clock far faster than a real one, or over real sockets in real time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "net/session.h"
#include "sim_network.h"

constexpr int64_t step_ms = 4;                  // the virtual clock's step
constexpr int64_t match_time_limit_ms = 400000; // far past any game: reaching it means a hang

struct MatchPlan {
    uint32_t game_seed = 1;
    uint64_t network_seed = 1;
    LinkFaults faults;
    uint32_t input_seeds[2] = {1, 2};
    int32_t raise_from[2] = {};  // holds raise from this tick on, which tops the well out (0: never)
    int32_t leave_at[2] = {};    // the player presses Escape on this tick of theirs (0: never)
    int32_t vanish_at[2] = {};   // the machine disappears on this tick of theirs (0: never)
    int64_t guest_starts_ms = 0; // the guest calls this long after the host listens
    SessionLimits limits;
    int64_t time_limit_ms = match_time_limit_ms;
};

struct MatchRun {
    std::unique_ptr<Session> sessions[2]; // 0 hosts, 1 joins
    bool vanished[2] = {};
    int64_t ended_ms[2] = {}, vanished_ms[2] = {};
    int32_t input_delay_faults = 0; // local ticks not played the moment they were given
    bool timed_out = false;
};

// Where a match is played, and the clock it is played by.
class MatchNet {
public:
    virtual ~MatchNet() = default;
    virtual Transport& end(int side) = 0;  // 0 hosts; 1 joins, once connect was called
    virtual void connect() = 0;            // the guest calls the host
    virtual void vanish(int side) = 0;     // that machine disappears without a word
    virtual int64_t start() = 0;           // the clock when the host begins to listen
    virtual int64_t next(int64_t now) = 0; // the clock's next reading; what is due by then arrives
};

// Plays the plan to its end: both sessions over, or one over and the other machine gone.
MatchRun run_match(const MatchPlan& plan, MatchNet& net);
// The same over the simulated network, after `prepare` has had its say over it.
MatchRun run_match(const MatchPlan& plan, const std::function<void(SimNetwork&)>& prepare = {});
