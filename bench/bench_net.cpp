// A network game in real time through a UDP relay at 0, 50 and 150 ms one way with 5%
// loss: how late the local well takes its input (it must not), how far behind the other well
// is shown, and the bytes each direction sends a second. Both machines are ENet hosts in this
// process on 127.0.0.1; a slice of BENCH_NET_SECONDS (default 20) of play is measured after
// the handshake.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "net/enet_link.h"
#include "net/session.h"
#include "udp_relay.h"

namespace {

constexpr double loss = 0.05;
constexpr uint64_t spared_handshake = 16;
constexpr int default_seconds = 20;
constexpr int64_t ms_per_second = 1000;
constexpr int64_t hz = 60;
constexpr int64_t give_up_ms = 60000;
constexpr double change_chance = 0.08;       // a press or release now and then, as a person plays
constexpr int ip_udp_header_bytes = 28;       // what each datagram costs on the wire besides its payload

int64_t now_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int measured_seconds()
{
    const char* text = std::getenv("BENCH_NET_SECONDS");
    const int seconds = text ? std::atoi(text) : default_seconds;
    return seconds > 0 ? seconds : default_seconds;
}

struct Side {
    Session session;
    int32_t ticks = 0;
    int64_t started = -1;
    std::mt19937 random;
    uint8_t held = 0;
};

struct Figures {
    int32_t input_delay = 0; // ticks a local input waited before its well played it, at most
    double lag_sum = 0;
    int64_t lag_samples = 0;
    int32_t lag_max = 0;
    double seconds = 0;
};

void play_tick(Side& side, Transport& link, int64_t now, Figures& f, bool measuring)
{
    std::bernoulli_distribution change(change_chance);
    if (change(side.random))
        side.held = static_cast<uint8_t>(side.random() % action_bit(ACTION_RAISE));
    const int32_t before = side.session.versus.tracks[side.session.versus.local].played;
    session_tick(side.session, link, PlayerInput{side.held}, now);
    const Versus& v = side.session.versus;
    const int32_t waited = side.ticks - v.tracks[v.local].played;
    if (measuring && v.tracks[v.local].played == before + 1) {
        f.input_delay = std::max(f.input_delay, waited);
        const int32_t lag = side.ticks - v.tracks[remote_of(v)].played;
        f.lag_sum += lag;
        f.lag_samples++;
        f.lag_max = std::max(f.lag_max, lag);
    }
}

void run_segment(benchmark::State& state, int64_t delay_ms)
{
    std::string problem;
    const std::unique_ptr<EnetLink> host_link = EnetLink::listen(0, problem);
    if (!host_link)
        return state.SkipWithError(problem.c_str());
    UdpRelay relay(host_link->port(), RelayFaults{delay_ms, loss, 77, spared_handshake});
    const std::unique_ptr<EnetLink> guest_link = EnetLink::connect(htonl(INADDR_LOOPBACK), relay.port(), problem);
    if (!guest_link || !relay.ready())
        return state.SkipWithError("no relay or link");
    Transport* links[2] = {host_link.get(), guest_link.get()};
    auto sides = std::make_unique<Side[]>(2);
    const int64_t began = now_ms();
    open_session(sides[0].session, Role::host, 2026, began);
    open_session(sides[1].session, Role::guest, 0, began);
    sides[0].random.seed(1);
    sides[1].random.seed(2);
    const int32_t measured_ticks = measured_seconds() * static_cast<int32_t>(hz);
    Figures f;
    int64_t measure_from = -1;
    while (now_ms() - began < give_up_ms) {
        const int64_t now = now_ms();
        for (int p = 0; p < 2; p++) {
            Side& side = sides[p];
            service_session(side.session, *links[p], now);
            if (side.session.phase == Phase::playing && side.started < 0)
                side.started = now - side.session.head_start * ms_per_second / hz;
            while (side.started >= 0 && side.session.phase == Phase::playing &&
                   side.ticks < (now - side.started) * hz / ms_per_second) {
                side.ticks++;
                play_tick(side, *links[p], now, f, measure_from >= 0);
            }
        }
        if (measure_from < 0 && sides[0].started >= 0 && sides[1].started >= 0) {
            measure_from = now;
            relay.reset_counts();
        }
        if (measure_from >= 0 && std::min(sides[0].ticks, sides[1].ticks) >= measured_ticks)
            break;
        if (session_over(sides[0].session) || session_over(sides[1].session))
            return state.SkipWithError("the game ended early");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    f.seconds = static_cast<double>(now_ms() - measure_from) / ms_per_second;
    state.counters["input_delay_ticks"] = f.input_delay;
    state.counters["remote_lag_mean_ticks"] = f.lag_samples ? f.lag_sum / static_cast<double>(f.lag_samples) : 0;
    state.counters["remote_lag_max_ticks"] = f.lag_max;
    const char* names[2] = {"guest_to_host", "host_to_guest"};
    for (int d = 0; d < 2; d++) {
        state.counters[std::string(names[d]) + "_payload_Bps"] = static_cast<double>(relay.bytes(d)) / f.seconds;
        state.counters[std::string(names[d]) + "_wire_Bps"] =
            static_cast<double>(relay.bytes(d) + ip_udp_header_bytes * relay.datagrams(d)) / f.seconds;
        state.counters[std::string(names[d]) + "_datagrams_ps"] = static_cast<double>(relay.datagrams(d)) / f.seconds;
    }
}

void BM_NetworkGame(benchmark::State& state)
{
    for (auto _ : state)
        run_segment(state, state.range(0));
}

} // namespace

BENCHMARK(BM_NetworkGame)->ArgName("one_way_ms")->Arg(0)->Arg(50)->Arg(150)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCHMARK_MAIN();
