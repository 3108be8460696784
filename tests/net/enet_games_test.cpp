// Real sockets on 127.0.0.1: two ENet hosts in this process play through a UDP relay that
// delays and drops datagrams, in real time. Games are ended quickly by a top-out, a player
// leaving or a machine going silent.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <thread>

#include "net/enet_link.h"
#include "replay/replay_text.h"
#include "sim_match.h"
#include "udp_relay.h"

namespace {

constexpr int64_t real_time_limit_ms = 30000;
constexpr uint64_t spared_handshake = 16;
constexpr int64_t short_silence_ms = 1500;
constexpr int64_t short_connect_ms = 1000;
// A real clock on a busy machine: a wait may end a little late, never early.
constexpr int64_t late_margin_ms = 1500;

int64_t real_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class RealNet : public MatchNet {
public:
    explicit RealNet(RelayFaults faults)
    {
        host_ = EnetLink::listen(0, problem);
        if (host_)
            relay_ = std::make_unique<UdpRelay>(host_->port(), faults);
    }
    bool ready() const { return host_ && relay_ && relay_->ready(); }
    Transport& end(int side) override { return side == 0 ? static_cast<Transport&>(*host_) : *guest_; }
    void connect() override { guest_ = EnetLink::connect(htonl(INADDR_LOOPBACK), relay_->port(), problem); }
    void vanish(int) override {} // a machine that is no longer serviced answers nothing
    int64_t start() override { return real_ms(); }
    int64_t next(int64_t) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return real_ms();
    }
    std::string problem;

private:
    std::unique_ptr<EnetLink> host_, guest_;
    std::unique_ptr<UdpRelay> relay_;
};

MatchPlan real_plan(uint32_t seed)
{
    MatchPlan plan;
    plan.game_seed = seed;
    plan.input_seeds[0] = seed + 1;
    plan.input_seeds[1] = seed + 2;
    plan.time_limit_ms = real_time_limit_ms;
    return plan;
}

TEST(EnetGames, ATopOutGameAgreesThroughALossyRelay)
{
    RealNet net({50, 0.05, 7, spared_handshake});
    ASSERT_TRUE(net.ready()) << net.problem;
    MatchPlan plan = real_plan(31);
    plan.raise_from[0] = 1;
    const MatchRun run = run_match(plan, net);
    ASSERT_FALSE(run.timed_out);
    const Session &host = *run.sessions[0], &guest = *run.sessions[1];
    ASSERT_EQ(host.ending, Ending::settled) << ending_text(host);
    ASSERT_EQ(guest.ending, Ending::settled) << ending_text(guest);
    EXPECT_EQ(run.input_delay_faults, 0);
    EXPECT_EQ(host.end_tick, guest.end_tick);
    EXPECT_TRUE(host.final_state.players[0].topped_out);
    EXPECT_EQ(std::memcmp(&host.final_state.players, &guest.final_state.players, sizeof host.final_state.players), 0);
    EXPECT_EQ(replay_text(host.replay), replay_text(guest.replay));
    EXPECT_EQ(verify_replay(host.replay), "");
}

TEST(EnetGames, APlayerLeavingOrAMachineFallingSilentEndsTheGameForTheOther)
{
    for (const bool vanish : {false, true}) {
        SCOPED_TRACE(vanish ? "the host falls silent" : "the guest leaves");
        RealNet net({30, 0.05, 9, spared_handshake});
        ASSERT_TRUE(net.ready()) << net.problem;
        MatchPlan plan = real_plan(40);
        plan.limits.silence_ms = short_silence_ms;
        (vanish ? plan.vanish_at[0] : plan.leave_at[1]) = 90;
        const MatchRun run = run_match(plan, net);
        ASSERT_FALSE(run.timed_out);
        const int stayer = vanish ? 1 : 0;
        const Session& stay = *run.sessions[stayer];
        EXPECT_EQ(stay.ending, vanish ? Ending::opponent_lost : Ending::opponent_left) << ending_text(stay);
        ASSERT_TRUE(stay.judged);
        EXPECT_EQ(verify_replay(stay.replay), "");
        EXPECT_EQ(stay.end_tick, common_tick(stay.versus));
        if (vanish)
            EXPECT_LE(run.ended_ms[stayer] - run.vanished_ms[0], short_silence_ms + late_margin_ms);
        else
            EXPECT_EQ(run.sessions[1]->ending, Ending::left);
    }
}

TEST(EnetGames, NoAnswerIsToldWithinTheConnectLimit)
{
    std::string problem;
    const std::unique_ptr<EnetLink> taken = EnetLink::listen(0, problem);
    ASSERT_TRUE(taken) << problem;
    const uint16_t silent_port = taken->port(); // bound, never serviced: nobody answers there
    EXPECT_FALSE(EnetLink::listen(silent_port, problem)) << "two games on one port";
    EXPECT_NE(problem.find(std::to_string(silent_port)), std::string::npos) << problem;

    const std::unique_ptr<EnetLink> link = EnetLink::connect(htonl(INADDR_LOOPBACK), silent_port, problem);
    ASSERT_TRUE(link) << problem;
    Session guest;
    SessionLimits limits;
    limits.connect_ms = short_connect_ms;
    const int64_t began = real_ms();
    open_session(guest, Role::guest, 0, began, limits);
    while (!session_over(guest) && real_ms() - began < real_time_limit_ms) {
        service_session(guest, *link, real_ms());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(guest.ending, Ending::unreachable);
    EXPECT_LE(real_ms() - began, short_connect_ms + late_margin_ms);
}

} // namespace
