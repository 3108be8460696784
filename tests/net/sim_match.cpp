// The virtual-clock loop that plays a network game between two sessions.
#include "sim_match.h"

namespace {

constexpr int64_t ms_per_second = 1000;
constexpr int64_t hz = 60;
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

struct Side {
    int32_t ticks = 0;       // local ticks given
    int64_t started_ms = -1; // when this machine's game loop began
    bool active = false;
};

} // namespace

PlayerInput InputStream::next(int32_t tick)
{
    std::bernoulli_distribution change(change_chance);
    if (change(random))
        held = static_cast<uint8_t>(random() % raise_bit); // any of the moves and swap, never raise
    const bool raising = raise_from != 0 && tick >= raise_from;
    return PlayerInput{static_cast<uint8_t>(held | (raising ? raise_bit : 0))};
}

MatchRun run_match(const MatchPlan& plan, const std::function<void(SimNetwork&)>& prepare)
{
    SimNetwork sim(plan.network_seed, plan.faults);
    if (prepare)
        prepare(sim);
    SimMatchNet net(sim);
    MatchRun run = run_match(plan, net);
    for (int p = 0; p < 2; p++)
        run.bytes_sent[p] = sim.bytes_sent[p];
    return run;
}

MatchRun run_match(const MatchPlan& plan, MatchNet& net)
{
    MatchRun run;
    InputStream inputs[2] = {{std::mt19937(plan.input_seeds[0]), plan.raise_from[0]},
                             {std::mt19937(plan.input_seeds[1]), plan.raise_from[1]}};
    Side sides[2];
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
        bool all_done = true;
        for (int p = 0; p < 2; p++) {
            Session* s = run.sessions[p].get();
            if (!s || run.vanished[p] || session_over(*s)) {
                all_done = all_done && (run.vanished[p] || (s && session_over(*s)));
                continue;
            }
            all_done = false;
            Transport& link = net.end(p);
            service_session(*s, link, now);
            Side& side = sides[p];
            if (s->phase == Phase::playing && side.started_ms < 0)
                side.started_ms = now - s->head_start * ms_per_second / hz;
            // The game loop: every tick the clock has given since it began, then the network.
            while (side.started_ms >= 0 && !session_over(*s) && side.ticks < (now - side.started_ms) * hz / ms_per_second) {
                const int32_t tick = ++side.ticks;
                if (plan.vanish_at[p] && tick >= plan.vanish_at[p]) {
                    run.vanished[p] = true;
                    run.vanished_ms[p] = now;
                    net.vanish(p);
                    break;
                }
                if (plan.leave_at[p] && tick >= plan.leave_at[p]) {
                    leave_session(*s, link, now);
                    break;
                }
                const int32_t played_before = s->versus.tracks[s->versus.local].played;
                const bool could_play = s->phase == Phase::playing && !local_play_over(s->versus);
                session_tick(*s, link, inputs[p].next(tick), now);
                if (could_play && s->versus.tracks[s->versus.local].played != played_before + 1)
                    run.input_delay_faults++;
                if (s->phase == Phase::playing) {
                    const WellTrack& remote = s->versus.tracks[remote_of(s->versus)];
                    if (remote.topped_at == 0 && remote.played < game_ticks)
                        run.max_remote_lag = std::max(run.max_remote_lag, side.ticks - remote.played);
                }
            }
            if (session_over(*s) && run.ended_ms[p] == 0)
                run.ended_ms[p] = now;
        }
        if (all_done && run.sessions[1])
            break;
    }
    run.finished_ms = now - began;
    run.timed_out = now - began >= plan.time_limit_ms;
    return run;
}
