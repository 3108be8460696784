// A session against a peer the test plays by hand: every rule a hostile or broken peer can
// break ends the session with the peer cut off, versions are compared on both sides, hashes
// are checked, and every wait has an end.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "net/session.h"
#include "net/well_hash.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A transport whose far end is the test: it hands over what the test queued and keeps what
// the session sent.
struct ScriptedLink : Transport {
    std::deque<LinkEvent> inbox;
    std::vector<Bytes> sent;
    bool closed = false, dropped = false;

    bool poll(LinkEvent& event) override
    {
        if (inbox.empty())
            return false;
        event = inbox.front();
        inbox.pop_front();
        return true;
    }
    void send(const uint8_t* bytes, size_t size) override { sent.emplace_back(bytes, bytes + size); }
    void flush() override {}
    void close() override { closed = true; }
    void drop() override { dropped = true; }
    void deliver(const Bytes& bytes, size_t claimed)
    {
        LinkEvent event{};
        fill_message_event(event, bytes.data(), claimed);
        inbox.push_back(event);
    }
    bool sent_kind(MessageKind kind) const
    {
        for (const Bytes& b : sent)
            if (!b.empty() && b[0] == static_cast<uint8_t>(kind))
                return true;
        return false;
    }
};

constexpr uint32_t game_seed = 4242;

// A message as bytes; `claimed` over the bytes' size stands for a longer message cut short.
struct Wire {
    Bytes bytes;
    size_t claimed = 0;
};

Wire wire(MessageKind kind, int32_t tick = 0, uint16_t version = protocol_version, uint64_t hash = 0)
{
    Message m{};
    m.kind = kind;
    m.tick = static_cast<uint16_t>(tick);
    m.version = version;
    m.hash = hash;
    const Packet p = encode_message(m);
    return Wire{Bytes(p.bytes, p.bytes + p.size)};
}

Wire inputs(int32_t first, int32_t ticks, uint8_t held = 0)
{
    Bytes b = {static_cast<uint8_t>(MessageKind::inputs), static_cast<uint8_t>(first), static_cast<uint8_t>(first >> 8), 0};
    for (; ticks > 0; ticks -= max_run_length, b[3]++)
        b.insert(b.end(), {held, static_cast<uint8_t>(std::min(ticks, max_run_length))});
    return Wire{b};
}

// The hash of a guest's well after `ticks` of holding nothing.
uint64_t idle_guest_hash(int32_t ticks)
{
    GameState game;
    start_separate_game(game, max_players, game_seed);
    for (TickEvents events{}; ticks > 0; ticks--)
        update_well(game, 1, PlayerInput{0}, events);
    return well_hash(game, 1);
}

enum class Stage : uint8_t { host_greeting, guest_greeting, host_playing };

// A session brought to `stage` at time 0 by a well-behaved peer, then sent `messages`.
void play(Session& s, ScriptedLink& link, Stage stage, const std::vector<Wire>& messages, int64_t now = 0)
{
    open_session(s, stage == Stage::guest_greeting ? Role::guest : Role::host, game_seed, 0);
    link.inbox.push_back(LinkEvent{LinkEventKind::connected, 0, {}});
    std::vector<Wire> all = messages;
    if (stage == Stage::host_playing)
        all.insert(all.begin(), {wire(MessageKind::hello), wire(MessageKind::ready)});
    for (const Wire& w : all)
        link.deliver(w.bytes, w.claimed ? w.claimed : w.bytes.size());
    service_session(s, link, now);
}

struct Breach {
    const char* what;
    Stage stage;
    std::vector<Wire> messages;
};

std::vector<Breach> breaches()
{
    const Wire hash60 = wire(MessageKind::hash, 60, protocol_version, idle_guest_hash(60));
    return {
        {"nothing at all", Stage::host_playing, {Wire{}}},
        {"bytes of no message", Stage::host_playing, {Wire{{'G', 'E', 'T', ' '}}}},
        {"a message longer than any", Stage::host_playing, {Wire{Bytes(max_message_bytes, 5), 4096}}},
        {"inputs before the game began", Stage::host_greeting, {inputs(1, 1)}},
        {"a start sent to the host", Stage::host_greeting, {wire(MessageKind::start)}},
        {"a ready before any start", Stage::host_greeting, {wire(MessageKind::ready)}},
        {"a hello sent to the guest", Stage::guest_greeting, {wire(MessageKind::hello)}},
        {"a refusal in the same version", Stage::guest_greeting, {wire(MessageKind::refuse)}},
        {"a second hello in the game", Stage::host_playing, {wire(MessageKind::hello)}},
        {"inputs that skip ticks", Stage::host_playing, {inputs(2, 1)}},
        {"inputs for ticks already played", Stage::host_playing, {inputs(1, 5), inputs(3, 5)}},
        {"inputs far ahead of the clock", Stage::host_playing, {inputs(1, max_lead_ticks + 2)}},
        {"an action the game does not have", Stage::host_playing, {inputs(1, 1, 0x40)}},
        {"a hash before its inputs", Stage::host_playing, {hash60}},
        {"the same hash twice", Stage::host_playing, {inputs(1, 60), hash60, hash60}},
        {"a leaving tick never played", Stage::host_playing, {inputs(1, 3), wire(MessageKind::quit, 5)}},
        {"a result for ticks never sent", Stage::host_playing, {wire(MessageKind::done, 100)}},
        {"a flood of keepalives", Stage::host_playing,
         std::vector<Wire>(static_cast<size_t>(rate_burst) + 1, wire(MessageKind::keepalive))},
    };
}

TEST(SessionRules, APeerThatBreaksARuleIsCutOffWithAMessage)
{
    for (const Breach& breach : breaches()) {
        SCOPED_TRACE(breach.what);
        Session s;
        ScriptedLink link;
        play(s, link, breach.stage, breach.messages);
        EXPECT_EQ(s.ending, Ending::broken_rules);
        EXPECT_TRUE(link.dropped);
        EXPECT_FALSE(s.detail.empty());
        EXPECT_NE(ending_text(s).find("Disconnected"), std::string::npos) << ending_text(s);
        EXPECT_EQ(s.judged, breach.stage == Stage::host_playing) << "a game that began is judged where it stood";
        EXPECT_EQ(s.judged ? verify_replay(s.replay) : "", "");
    }
}

TEST(SessionRules, BothSidesSayWhenTheVersionsDiffer)
{
    const uint16_t other = protocol_version + 1;
    const std::pair<Stage, MessageKind> greetings[] = {
        {Stage::host_greeting, MessageKind::hello}, {Stage::guest_greeting, MessageKind::start}, {Stage::guest_greeting, MessageKind::refuse}};
    for (const auto& [stage, kind] : greetings) {
        Session s;
        ScriptedLink link;
        play(s, link, stage, {wire(kind, 0, other)});
        EXPECT_EQ(s.ending, Ending::version_mismatch);
        EXPECT_FALSE(s.started);
        EXPECT_NE(ending_text(s).find(std::to_string(other)), std::string::npos) << ending_text(s);
        // A greeting of another version is answered, so that its sender can say so too.
        EXPECT_EQ(link.sent_kind(MessageKind::refuse), kind != MessageKind::refuse);
        EXPECT_TRUE(link.closed && !link.dropped) << "the refusal must still reach the peer";
    }
}

TEST(SessionRules, AHashThatDiffersStopsTheGameAndTellsThePeer)
{
    const std::pair<std::vector<Wire>, bool> cases[] = {
        {{inputs(1, 60), wire(MessageKind::hash, 60, protocol_version, idle_guest_hash(60))}, false},
        {{inputs(1, 60), wire(MessageKind::hash, 60, protocol_version, idle_guest_hash(60) ^ 1)}, true},
        {{wire(MessageKind::out_of_step, 60)}, true},
    };
    for (const auto& [messages, apart] : cases) {
        Session s;
        ScriptedLink link;
        play(s, link, Stage::host_playing, messages);
        EXPECT_EQ(s.ending, apart ? Ending::out_of_step : Ending::none);
        EXPECT_EQ(link.sent_kind(MessageKind::out_of_step), apart && messages.size() == 2);
    }
}

TEST(SessionRules, EveryWaitHasAnEnd)
{
    const SessionLimits limits;
    constexpr int64_t step = 10;
    const struct {
        const char* what;
        bool connected, keepalives;
        Stage stage;
        int64_t limit_ms;
        Ending ending;
    } waits[] = {
        {"a host that never answers", false, false, Stage::guest_greeting, limits.connect_ms, Ending::unreachable},
        {"a peer that never greets", true, false, Stage::host_greeting, limits.greeting_ms, Ending::opponent_lost},
        {"a peer gone silent in the game", true, false, Stage::host_playing, limits.silence_ms, Ending::opponent_lost},
        {"a peer that sends no moves", true, true, Stage::host_playing, (max_lag_ticks + 1) * 1000 / 60, Ending::opponent_lost},
    };
    for (const auto& wait : waits) {
        SCOPED_TRACE(wait.what);
        Session s;
        ScriptedLink link;
        if (wait.connected)
            play(s, link, wait.stage, {});
        else
            open_session(s, Role::guest, 0, 0);
        int64_t now = 0;
        for (; now <= wait.limit_ms + step && !session_over(s); now += step) {
            if (wait.keepalives)
                link.deliver(wire(MessageKind::keepalive).bytes, 1);
            service_session(s, link, now);
        }
        EXPECT_TRUE(session_over(s));
        EXPECT_GT(now, wait.limit_ms) << "gave up too soon";
        EXPECT_EQ(s.ending, wait.ending);
    }
}

// The host starts half a round trip late, so that both machines see the other equally behind.
TEST(SessionRules, TheHostStartsHalfARoundTripLate)
{
    const std::pair<int64_t, int32_t> trips[] = {{0, 0}, {100, 3}, {300, 9}, {5000, max_head_start}};
    for (const auto& [round_trip_ms, head_start] : trips) {
        Session s;
        ScriptedLink link;
        play(s, link, Stage::host_greeting, {wire(MessageKind::hello)});
        link.deliver(wire(MessageKind::ready).bytes, 1);
        service_session(s, link, round_trip_ms);
        EXPECT_EQ(s.head_start, head_start) << round_trip_ms << " ms";
        EXPECT_EQ(clock_tick(s, round_trip_ms), head_start);
    }
}

} // namespace
