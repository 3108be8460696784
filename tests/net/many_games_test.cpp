// Hundreds of network games over a network that delays, drops, duplicates and reorders, each
// ended by a seeded cause: the clock, a top-out on either side, a player leaving or a machine
// vanishing. The two machines must agree on everything they can both know.
#include <gtest/gtest.h>

#include <cstring>

#include "net/well_hash.h"
#include "replay/replay_text.h"
#include "sim_match.h"

namespace {

enum class Cause : uint8_t { clock, host_tops_out, guest_tops_out, host_leaves, guest_leaves, host_vanishes, guest_vanishes };
constexpr int cause_count = 7;
constexpr const char* cause_names[cause_count] = {"clock", "host tops out", "guest tops out", "host leaves",
                                                  "guest leaves", "host vanishes", "guest vanishes"};
constexpr int game_count = 245;
constexpr int min_games_per_outcome = 15;
// Raising from this tick or earlier tops a well out well before the clock runs out.
constexpr int32_t latest_raise = 5000;
constexpr int32_t latest_leave = 6500;
constexpr int64_t max_delay_ms = 150, max_jitter_ms = 40;
constexpr double max_loss = 0.10, max_duplication = 0.05;
constexpr int64_t max_guest_lateness_ms = 300;
// A vanished machine is noticed once the silence limit passes after its last message landed,
// give or take a step and a tick.
constexpr int64_t notice_margin_ms = 50;

MatchPlan plan_for(int game, Cause& cause)
{
    std::mt19937 r(static_cast<uint32_t>(game) * 7919u + 13u);
    std::uniform_real_distribution<double> fraction(0, 1);
    MatchPlan plan;
    plan.game_seed = r();
    plan.network_seed = r();
    plan.faults = LinkFaults{static_cast<int64_t>(r() % (max_delay_ms + 1)), static_cast<int64_t>(r() % (max_jitter_ms + 1)),
                             fraction(r) * max_loss, fraction(r) * max_duplication};
    plan.input_seeds[0] = r();
    plan.input_seeds[1] = r();
    plan.guest_starts_ms = r() % max_guest_lateness_ms;
    cause = static_cast<Cause>(r() % cause_count);
    const int who = cause == Cause::host_tops_out || cause == Cause::host_leaves || cause == Cause::host_vanishes ? 0 : 1;
    switch (cause) {
    case Cause::clock: break;
    case Cause::host_tops_out:
    case Cause::guest_tops_out: plan.raise_from[who] = 1 + static_cast<int32_t>(r() % latest_raise); break;
    case Cause::host_leaves:
    case Cause::guest_leaves: plan.leave_at[who] = 1 + static_cast<int32_t>(r() % latest_leave); break;
    case Cause::host_vanishes:
    case Cause::guest_vanishes: plan.vanish_at[who] = 1 + static_cast<int32_t>(r() % latest_leave); break;
    }
    return plan;
}

// What each machine recorded of a player's inputs agrees on every tick both know.
void expect_same_inputs(const Session& a, const Session& b, int player)
{
    const WellTrack &x = a.versus.tracks[player], &y = b.versus.tracks[player];
    const int32_t both = std::min(x.known, y.known);
    EXPECT_EQ(std::memcmp(x.held + 1, y.held + 1, static_cast<size_t>(both)), 0) << "inputs of player " << player;
}

// A judged game's replay plays back to the result shown, with this machine's own score the
// one that counts for its table.
void expect_sound_replay(const Session& s)
{
    ASSERT_TRUE(s.judged);
    EXPECT_EQ(verify_replay(s.replay), "");
    EXPECT_EQ(s.replay.end_tick, s.end_tick);
    for (int p = 0; p < max_players; p++)
        EXPECT_EQ(s.replay.scores[p], s.final_state.players[p].score);
    EXPECT_TRUE(s.replay.separate_wells);
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

// Cut short: the one who stayed knows every move of the one who left, and judges where both
// wells were.
void expect_cut_short(const MatchRun& run, int stayer)
{
    const Session& stay = *run.sessions[stayer];
    const Session& gone = *run.sessions[1 - stayer];
    expect_sound_replay(stay);
    EXPECT_EQ(stay.end_tick, common_tick(stay.versus));
    for (int p = 0; p < max_players; p++)
        expect_same_inputs(stay, gone, p);
}

} // namespace

TEST(ManyGames, BothMachinesAgreeWhateverEndsTheGame)
{
    int outcomes[cause_count] = {};
    int full_length = 0, topped = 0;
    for (int game = 0; game < game_count; game++) {
        Cause cause;
        const MatchPlan plan = plan_for(game, cause);
        SCOPED_TRACE(testing::Message() << "game " << game << " (" << cause_names[static_cast<int>(cause)] << ", delay "
                                        << plan.faults.delay_ms << " ms, loss " << plan.faults.loss << ")");
        const MatchRun run = run_match(plan);
        ASSERT_FALSE(run.timed_out) << "the game never ended";
        ASSERT_TRUE(run.sessions[1]);
        EXPECT_EQ(run.input_delay_faults, 0) << "a local tick was not played the moment it was given";
        const Session &host = *run.sessions[0], &guest = *run.sessions[1];
        const int leaver = plan.leave_at[0] ? 0 : plan.leave_at[1] ? 1 : -1;
        const int vanisher = plan.vanish_at[0] ? 0 : plan.vanish_at[1] ? 1 : -1;
        if (host.ending == Ending::settled && guest.ending == Ending::settled) {
            // Nothing cut it short: both judged the whole game, alike.
            expect_sound_replay(host);
            expect_sound_replay(guest);
            expect_agreement(host, guest);
            full_length += host.end_tick == game_ticks;
            topped += host.end_tick < game_ticks;
        } else if (leaver >= 0) {
            const Session& stay = *run.sessions[1 - leaver];
            EXPECT_EQ(run.sessions[leaver]->ending, Ending::left);
            expect_sound_replay(*run.sessions[leaver]);
            // The one who stayed may already hold the whole game when the other leaves.
            if (stay.ending == Ending::settled)
                expect_sound_replay(stay);
            else {
                EXPECT_EQ(stay.ending, Ending::opponent_left) << ending_text(stay);
                expect_cut_short(run, 1 - leaver);
            }
            outcomes[static_cast<int>(cause)]++;
        } else if (vanisher >= 0 && run.vanished[vanisher]) {
            const Session& stay = *run.sessions[1 - vanisher];
            EXPECT_LE(run.ended_ms[1 - vanisher] - run.vanished_ms[vanisher],
                      plan.limits.silence_ms + plan.faults.delay_ms + plan.faults.jitter_ms + notice_margin_ms);
            if (stay.ending == Ending::settled) // it vanished after the game was settled
                expect_sound_replay(stay);
            else {
                EXPECT_EQ(stay.ending, Ending::opponent_lost) << ending_text(stay);
                expect_cut_short(run, 1 - vanisher);
            }
            outcomes[static_cast<int>(cause)]++;
        } else {
            ADD_FAILURE() << "ended " << ending_text(host) << " / " << ending_text(guest);
        }
    }
    // The seeds gave every kind of ending its share.
    EXPECT_GE(full_length, min_games_per_outcome);
    EXPECT_GE(topped, 2 * min_games_per_outcome);
    for (int c = static_cast<int>(Cause::host_leaves); c < cause_count; c++)
        EXPECT_GE(outcomes[c], min_games_per_outcome) << cause_names[c];
}

// A message changed on its way makes the other machine's copy of a well differ from the well
// itself: the next hash shows it, both machines stop and both keep their replays.
TEST(ManyGames, WellsThatGoApartStopBothMachinesWithTheirReplays)
{
    constexpr int32_t tamper_after_tick = 100;
    constexpr int32_t seconds_to_notice = 2 * hash_interval_ticks;
    for (int side = 0; side < 2; side++) {
        SCOPED_TRACE(side == 0 ? "the host's inputs changed" : "the guest's inputs changed");
        MatchPlan plan;
        plan.game_seed = 900 + static_cast<uint32_t>(side);
        int32_t tampered_tick = 0;
        const MatchRun run = run_match(plan, [&](SimNetwork& net) {
            net.tamper[side] = [&](std::vector<uint8_t>& m) {
                const int32_t first = m.size() > 3 ? m[1] | m[2] << 8 : 0;
                if (tampered_tick || m[0] != static_cast<uint8_t>(MessageKind::inputs) || first <= tamper_after_tick)
                    return;
                m[4] ^= action_bit(ACTION_RAISE); // the first run's raise turned over
                tampered_tick = first;
            };
        });
        ASSERT_FALSE(run.timed_out);
        ASSERT_GT(tampered_tick, 0);
        for (const auto& s : run.sessions) {
            EXPECT_EQ(s->ending, Ending::out_of_step) << ending_text(*s);
            expect_sound_replay(*s);
            EXPECT_LE(s->end_tick, tampered_tick + seconds_to_notice) << "noticed at the next hash";
        }
        const Session &teller = *run.sessions[side], &told = *run.sessions[1 - side];
        EXPECT_NE(teller.versus.tracks[side].held[tampered_tick], told.versus.tracks[side].held[tampered_tick]);
        EXPECT_NE(replay_text(teller.replay), replay_text(told.replay)) << "the replays show where they differ";
    }
}
