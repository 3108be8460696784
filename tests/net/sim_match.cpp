// The loop that plays a network game between two sessions, as two game loops would.
#include "sim_match.h"

#include <random>

namespace {

constexpr int64_t ms_per_second = 1000, hz = 60;
constexpr double change_chance = 0.08; // per tick: a press or release now and then
constexpr uint8_t raise_bit = 1u << ACTION_RAISE;

class SimMatchNet : public MatchNet {
public:
    explicit SimMatchNet(SimNetwork& net) : net_(net) {}
    Transport& end(int side) override { return net_.end(side); }
    void connect() override { net_.connect(); }
    void vanish(int side) override { net_.vanish(side); }
    int64_t start() override { return 0; }
    int64_t next(int64_t now) override
    {
        net_.advance(now + step_ms);
        return now + step_ms;
    }

private:
    SimNetwork& net_;
};

// One machine: its clock's ticks so far and what its player holds.
struct Side {
    int32_t ticks = 0;
    int64_t started_ms = -1;
    std::mt19937 random;
    uint8_t held = 0;

    PlayerInput next(int32_t raise_from)
    {
        if (std::bernoulli_distribution(change_chance)(random))
            held = static_cast<uint8_t>(random() % raise_bit); // moves and swap; raise only by plan
        return PlayerInput{static_cast<uint8_t>(held | (raise_from && ticks >= raise_from ? raise_bit : 0))};
    }
};

// Every tick the clock has given since this side's game began; false once the machine is gone.
bool run_ticks(const MatchPlan& plan, int p, Side& side, Session& s, MatchNet& net, MatchRun& run, int64_t now)
{
    while (side.started_ms >= 0 && !session_over(s) && side.ticks < (now - side.started_ms) * hz / ms_per_second) {
        side.ticks++;
        if (plan.vanish_at[p] && side.ticks >= plan.vanish_at[p]) {
            run.vanished[p] = true;
            run.vanished_ms[p] = now;
            net.vanish(p);
            return false;
        }
        if (plan.leave_at[p] && side.ticks >= plan.leave_at[p]) {
            leave_session(s, net.end(p), now);
            return true;
        }
        const int32_t before = s.versus.tracks[s.versus.local].played;
        const bool could_play = s.phase == Phase::playing && !local_play_over(s.versus);
        session_tick(s, net.end(p), side.next(plan.raise_from[p]), now);
        run.input_delay_faults += could_play && s.versus.tracks[s.versus.local].played != before + 1;
    }
    return true;
}

} // namespace

MatchRun run_match(const MatchPlan& plan, const std::function<void(SimNetwork&)>& prepare)
{
    SimNetwork sim(plan.network_seed, plan.faults);
    if (prepare)
        prepare(sim);
    SimMatchNet net(sim);
    return run_match(plan, net);
}

MatchRun run_match(const MatchPlan& plan, MatchNet& net)
{
    MatchRun run;
    Side sides[2];
    sides[0].random.seed(plan.input_seeds[0]);
    sides[1].random.seed(plan.input_seeds[1]);
    const int64_t began = net.start();
    run.sessions[0] = std::make_unique<Session>();
    open_session(*run.sessions[0], Role::host, plan.game_seed, began, plan.limits);
    int64_t now = began;
    for (; now - began < plan.time_limit_ms; now = net.next(now)) {
        if (!run.sessions[1] && now - began >= plan.guest_starts_ms) {
            net.connect();
            run.sessions[1] = std::make_unique<Session>();
            open_session(*run.sessions[1], Role::guest, 0, now, plan.limits);
        }
        bool all_done = run.sessions[1] != nullptr;
        for (int p = 0; p < 2; p++) {
            Session* s = run.sessions[p].get();
            if (!s || run.vanished[p] || session_over(*s))
                continue;
            service_session(*s, net.end(p), now);
            if (s->phase == Phase::playing && sides[p].started_ms < 0)
                sides[p].started_ms = now - s->head_start * ms_per_second / hz;
            if (run_ticks(plan, p, sides[p], *s, net, run, now) && session_over(*s))
                run.ended_ms[p] = now;
            all_done = all_done && (run.vanished[p] || session_over(*s));
        }
        if (all_done)
            break;
    }
    run.timed_out = now - began >= plan.time_limit_ms;
    return run;
}
