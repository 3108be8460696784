// Hundreds of network games over a network that delays, drops, duplicates and reorders, each
// ended by a seeded cause: the clock, a top-out on either side, a player leaving or a machine
// vanishing. The two machines agree on everything both can know, and every replay verifies.
#include <gtest/gtest.h>

#include <cstring>

#include "net/well_hash.h"
#include "replay/replay_text.h"
#include "sim_match.h"

namespace {

enum Cause { clock_runs_out, tops_out, leaves, vanishes, cause_count };
constexpr const char* cause_names[cause_count] = {"the clock", "a top-out", "a player leaving", "a machine vanishing"};
constexpr int game_count = 240;
constexpr int min_games_per_ending = 15;
constexpr int32_t latest_raise = 5000, latest_leave = 6500;
constexpr int64_t max_delay_ms = 150, max_jitter_ms = 40, max_guest_lateness_ms = 300;
constexpr double max_loss = 0.10, max_duplication = 0.05;
constexpr int64_t notice_margin_ms = 50; // a step and a tick past the silence limit

MatchPlan plan_for(int game, Cause& cause, int& who)
{
    std::mt19937_64 r(static_cast<uint64_t>(game) * 7919u + 13u);
    const auto up_to = [&](int64_t most) { return static_cast<int64_t>(r() % static_cast<uint64_t>(most + 1)); };
    std::uniform_real_distribution<double> fraction(0, 1);
    MatchPlan plan;
    plan.game_seed = static_cast<uint32_t>(r());
    plan.network_seed = r();
    plan.faults = LinkFaults{up_to(max_delay_ms), up_to(max_jitter_ms), fraction(r) * max_loss, fraction(r) * max_duplication};
    plan.input_seeds[0] = static_cast<uint32_t>(r());
    plan.input_seeds[1] = static_cast<uint32_t>(r());
    plan.guest_starts_ms = up_to(max_guest_lateness_ms);
    cause = static_cast<Cause>(up_to(cause_count - 1));
    who = static_cast<int>(up_to(1));
    const int32_t when = 1 + static_cast<int32_t>(up_to((cause == tops_out ? latest_raise : latest_leave) - 1));
    int32_t* chosen[cause_count] = {nullptr, plan.raise_from, plan.leave_at, plan.vanish_at};
    if (chosen[cause])
        chosen[cause][who] = when;
    return plan;
}

// A judged game's replay plays back to the result shown, this machine's score among it.
void expect_sound_replay(const Session& s)
{
    ASSERT_TRUE(s.judged);
    EXPECT_EQ(verify_replay(s.replay), "");
    EXPECT_EQ(s.replay.end_tick, s.end_tick);
    EXPECT_TRUE(s.replay.separate_wells);
    for (int p = 0; p < max_players; p++)
        EXPECT_EQ(s.replay.scores[p], s.final_state.players[p].score);
}

void expect_agreement(const Session& host, const Session& guest)
{
    EXPECT_EQ(host.end_tick, guest.end_tick);
    for (int p = 0; p < max_players; p++) {
        EXPECT_EQ(well_hash(host.final_state, p), well_hash(guest.final_state, p)) << "well " << p;
        EXPECT_EQ(std::memcmp(&host.final_state.players[p], &guest.final_state.players[p], sizeof(Player)), 0);
    }
    EXPECT_EQ(replay_text(host.replay), replay_text(guest.replay));
    const bool topped = host.final_state.players[0].topped_out || host.final_state.players[1].topped_out;
    EXPECT_TRUE(host.end_tick == game_ticks || topped) << "the game ended early without a top-out";
}

// Cut short: the one who stayed knows every move the other made, and judges where both wells
// were; what each knows of either player's moves is the same on both.
void expect_cut_short(const Session& stay, const Session& gone)
{
    expect_sound_replay(stay);
    EXPECT_EQ(stay.end_tick, common_tick(stay.versus));
    for (int p = 0; p < max_players; p++) {
        const WellTrack &x = stay.versus.tracks[p], &y = gone.versus.tracks[p];
        EXPECT_EQ(std::memcmp(x.held + 1, y.held + 1, static_cast<size_t>(std::min(x.known, y.known))), 0) << p;
    }
}

} // namespace

TEST(ManyGames, BothMachinesAgreeWhateverEndsTheGame)
{
    int cut_short[cause_count] = {}, full_length = 0, topped = 0;
    for (int game = 0; game < game_count; game++) {
        Cause cause;
        int who;
        const MatchPlan plan = plan_for(game, cause, who);
        SCOPED_TRACE(testing::Message() << "game " << game << ": " << cause_names[cause] << " (player " << who
                                        << "), delay " << plan.faults.delay_ms << " ms, loss " << plan.faults.loss);
        const MatchRun run = run_match(plan);
        ASSERT_FALSE(run.timed_out) << "the game never ended";
        EXPECT_EQ(run.input_delay_faults, 0) << "a local tick was not played the moment it was given";
        const Session &host = *run.sessions[0], &guest = *run.sessions[1];
        const Session &mover = *run.sessions[who], &other = *run.sessions[1 - who];
        if (host.ending == Ending::settled && guest.ending == Ending::settled) {
            expect_sound_replay(host);
            expect_sound_replay(guest);
            expect_agreement(host, guest);
            full_length += host.end_tick == game_ticks;
            topped += host.end_tick < game_ticks;
            continue;
        }
        ASSERT_TRUE(cause == leaves || (cause == vanishes && run.vanished[who]))
            << ending_text(host) << " / " << ending_text(guest);
        if (cause == leaves) {
            EXPECT_EQ(mover.ending, Ending::left);
            expect_sound_replay(mover);
        } else {
            EXPECT_LE(run.ended_ms[1 - who] - run.vanished_ms[who],
                      plan.limits.silence_ms + plan.faults.delay_ms + plan.faults.jitter_ms + notice_margin_ms);
        }
        // The one who stayed may already have held the whole game when the other went.
        if (other.ending == Ending::settled) {
            expect_sound_replay(other);
            continue;
        }
        EXPECT_EQ(other.ending, cause == leaves ? Ending::opponent_left : Ending::opponent_lost) << ending_text(other);
        expect_cut_short(other, mover);
        cut_short[cause]++;
    }
    // The seeds gave every kind of ending its share.
    EXPECT_GE(full_length, min_games_per_ending);
    EXPECT_GE(topped, 2 * min_games_per_ending);
    EXPECT_GE(cut_short[leaves], 2 * min_games_per_ending);
    EXPECT_GE(cut_short[vanishes], 2 * min_games_per_ending);
}

// A message changed on its way makes the other machine's copy of a well differ from the well
// itself: the next hash shows it, both machines stop and both keep their replays.
TEST(ManyGames, WellsThatGoApartStopBothMachinesWithTheirReplays)
{
    constexpr int32_t tamper_after_tick = 100;
    for (int side = 0; side < 2; side++) {
        MatchPlan plan;
        plan.game_seed = 900 + static_cast<uint32_t>(side);
        int32_t tampered = 0;
        const MatchRun run = run_match(plan, [&](SimNetwork& net) {
            net.tamper[side] = [&](std::vector<uint8_t>& m) {
                const int32_t first = m[0] == static_cast<uint8_t>(MessageKind::inputs) ? m[1] | m[2] << 8 : 0;
                if (!tampered && first > tamper_after_tick) {
                    m[4] ^= action_bit(ACTION_RAISE); // the first run's raise turned over
                    tampered = first;
                }
            };
        });
        ASSERT_FALSE(run.timed_out);
        ASSERT_GT(tampered, 0);
        for (const auto& s : run.sessions) {
            EXPECT_EQ(s->ending, Ending::out_of_step) << side << ": " << ending_text(*s);
            expect_sound_replay(*s);
            EXPECT_LE(s->end_tick, tampered + 2 * hash_interval_ticks) << "noticed at the next hash";
        }
        EXPECT_NE(replay_text(run.sessions[0]->replay), replay_text(run.sessions[1]->replay))
            << "the replays show where they differ";
    }
}
