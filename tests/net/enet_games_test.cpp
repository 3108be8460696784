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

// A top-out game through 50 ms and 5% loss ends alike on both; a guest leaving and a host
// falling silent end it for the other.
TEST(EnetGames, GamesEndAlikeOrForTheOneWhoStays)
{
    enum { raises, leaves, vanishes };
    const struct {
        const char* what;
        int64_t delay_ms;
        int how, who;
        int32_t tick;
        Ending host, guest;
    } games[] = {
        {"the host tops out", 50, raises, 0, 1, Ending::settled, Ending::settled},
        {"the guest leaves", 30, leaves, 1, 90, Ending::opponent_left, Ending::left},
        {"the host falls silent", 30, vanishes, 0, 90, Ending::none, Ending::opponent_lost},
    };
    for (size_t g = 0; g < std::size(games); g++) {
        const auto& game = games[g];
        SCOPED_TRACE(game.what);
        RealNet net({game.delay_ms, 0.05, static_cast<uint32_t>(7 + g), spared_handshake});
        ASSERT_TRUE(net.ready()) << net.problem;
        MatchPlan plan = real_plan(31 + static_cast<uint32_t>(g));
        if (game.how == vanishes) // the others keep the full limit: a busy machine may stall a while
            plan.limits.silence_ms = short_silence_ms;
        int32_t* moments[] = {plan.raise_from, plan.leave_at, plan.vanish_at};
        moments[game.how][game.who] = game.tick;
        const MatchRun run = run_match(plan, net);
        ASSERT_FALSE(run.timed_out);
        EXPECT_EQ(run.input_delay_faults, 0);
        const Session &host = *run.sessions[0], &guest = *run.sessions[1];
        EXPECT_EQ(guest.ending, game.guest) << ending_text(guest);
        EXPECT_EQ(run.vanished[0] ? game.host : host.ending, game.host) << ending_text(host);
        const Session& judge = run.vanished[0] ? guest : host;
        ASSERT_TRUE(judge.judged);
        EXPECT_EQ(verify_replay(judge.replay), "");
        if (game.how == raises) {
            EXPECT_TRUE(host.final_state.players[0].topped_out);
            EXPECT_EQ(replay_text(host.replay), replay_text(guest.replay));
        } else {
            EXPECT_EQ(judge.end_tick, common_tick(judge.versus));
        }
        EXPECT_LE(run.vanished[0] ? run.ended_ms[1] - run.vanished_ms[0] : 0, short_silence_ms + late_margin_ms);
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
