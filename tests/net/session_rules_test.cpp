// A session against a peer the test plays by hand: every rule a hostile or broken peer can
// break ends the session with the peer cut off, the versions are compared on both sides, and
// the clocks of the greeting and the game run out as they should.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "net/session.h"
#include "net/well_hash.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A transport whose far end is the test: it hands over what the test queued, keeps what the
// session sent, and remembers how it was let go.
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

    void connect() { inbox.push_back(LinkEvent{LinkEventKind::connected, 0, {}}); }
    void deliver(const Bytes& bytes, size_t claimed = 0)
    {
        LinkEvent event{};
        fill_message_event(event, bytes.data(), claimed ? claimed : bytes.size());
        inbox.push_back(event);
    }
    void deliver(const Message& m)
    {
        const Packet packet = encode_message(m);
        deliver(Bytes(packet.bytes, packet.bytes + packet.size));
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

Message message(MessageKind kind, int32_t tick = 0, uint16_t version = protocol_version)
{
    Message m{};
    m.kind = kind;
    m.tick = static_cast<uint16_t>(tick);
    m.version = version;
    return m;
}

Message idle_inputs(int32_t first, int32_t ticks)
{
    Message m = message(MessageKind::inputs, first);
    for (; ticks > 0; ticks -= max_run_length)
        m.runs[m.run_count++] = InputRun{0, static_cast<uint8_t>(std::min(ticks, max_run_length))};
    return m;
}

// The hash a guest that held nothing would send after `ticks`.
uint64_t idle_guest_hash(int32_t ticks)
{
    GameState game;
    start_separate_game(game, max_players, game_seed);
    for (int32_t t = 0; t < ticks; t++) {
        TickEvents events{};
        update_well(game, 1, PlayerInput{0}, events);
    }
    return well_hash(game, 1);
}

enum class Stage : uint8_t { host_greeting, guest_greeting, host_playing };

// A session brought to `stage` at time 0 by a well-behaved peer.
void bring_to(Stage stage, Session& s, ScriptedLink& link)
{
    open_session(s, stage == Stage::guest_greeting ? Role::guest : Role::host, game_seed, 0);
    link.connect();
    if (stage == Stage::host_playing) {
        link.deliver(message(MessageKind::hello));
        link.deliver(message(MessageKind::ready));
    }
    service_session(s, link, 0);
    ASSERT_EQ(s.phase, stage == Stage::host_playing ? Phase::playing : Phase::greeting);
}

struct Breach {
    const char* what;
    Stage stage;
    std::vector<Message> messages; // from the peer, in order
};

Message with_hash(Message m, uint64_t hash)
{
    m.hash = hash;
    return m;
}

Message odd_action()
{
    Message m = idle_inputs(1, 1);
    m.runs[0].held = 0x40;
    return m;
}

std::vector<Breach> breaches()
{
    const Message hash60 = with_hash(message(MessageKind::hash, 60), idle_guest_hash(60));
    return {
        {"inputs before the game began", Stage::host_greeting, {idle_inputs(1, 1)}},
        {"a start sent to the host", Stage::host_greeting, {message(MessageKind::start)}},
        {"a ready before any start", Stage::host_greeting, {message(MessageKind::ready)}},
        {"a hello sent to the guest", Stage::guest_greeting, {message(MessageKind::hello)}},
        {"a refusal in the same version", Stage::guest_greeting, {message(MessageKind::refuse)}},
        {"a second hello in the game", Stage::host_playing, {message(MessageKind::hello)}},
        {"inputs that skip ticks", Stage::host_playing, {idle_inputs(2, 1)}},
        {"inputs for ticks already played", Stage::host_playing, {idle_inputs(1, 5), idle_inputs(3, 5)}},
        {"inputs far ahead of the clock", Stage::host_playing, {idle_inputs(1, max_lead_ticks + 2)}},
        {"an action the game does not have", Stage::host_playing, {odd_action()}},
        {"a hash before its inputs", Stage::host_playing, {hash60}},
        {"the same hash twice", Stage::host_playing, {idle_inputs(1, 60), hash60, hash60}},
        {"a leaving tick never played", Stage::host_playing, {idle_inputs(1, 3), message(MessageKind::quit, 5)}},
        {"a result for ticks never sent", Stage::host_playing, {message(MessageKind::done, 100)}},
        {"a flood of keepalives", Stage::host_playing,
         std::vector<Message>(static_cast<size_t>(rate_burst) + 1, message(MessageKind::keepalive))},
    };
}

TEST(SessionRules, APeerThatBreaksARuleIsCutOffWithAMessage)
{
    for (const Breach& breach : breaches()) {
        SCOPED_TRACE(breach.what);
        Session s;
        ScriptedLink link;
        bring_to(breach.stage, s, link);
        for (const Message& m : breach.messages)
            link.deliver(m);
        service_session(s, link, 0);
        EXPECT_EQ(s.ending, Ending::broken_rules);
        EXPECT_TRUE(link.dropped);
        EXPECT_NE(ending_text(s).find("Disconnected"), std::string::npos) << ending_text(s);
        EXPECT_FALSE(s.detail.empty());
        if (breach.stage == Stage::host_playing) {
            ASSERT_TRUE(s.judged) << "a game that began is judged where it stood";
            EXPECT_EQ(verify_replay(s.replay), "");
        }
    }
}

// Bytes that are no message at all, and a message longer than any.
TEST(SessionRules, GarbageAndOversizedMessagesAreRefused)
{
    for (const auto& [bytes, claimed] : std::vector<std::pair<Bytes, size_t>>{
             {{}, 0}, {{0x99, 1, 2}, 0}, {{'G', 'E', 'T', ' '}, 0}, {Bytes(max_message_bytes, 5), 4096}}) {
        Session s;
        ScriptedLink link;
        bring_to(Stage::host_playing, s, link);
        link.deliver(bytes, claimed);
        service_session(s, link, 0);
        EXPECT_EQ(s.ending, Ending::broken_rules);
        EXPECT_TRUE(link.dropped);
    }
}

TEST(SessionRules, BothSidesSayWhenTheVersionsDiffer)
{
    const uint16_t other = protocol_version + 1;
    {
        Session host;
        ScriptedLink link;
        bring_to(Stage::host_greeting, host, link);
        link.deliver(message(MessageKind::hello, 0, other));
        service_session(host, link, 0);
        EXPECT_EQ(host.ending, Ending::version_mismatch);
        ASSERT_FALSE(link.sent.empty());
        Message refusal;
        ASSERT_EQ(decode_message(link.sent.back().data(), link.sent.back().size(), refusal), nullptr);
        EXPECT_EQ(refusal.kind, MessageKind::refuse);
        EXPECT_EQ(refusal.version, protocol_version);
        EXPECT_TRUE(link.closed) << "the refusal must still reach the guest";
        EXPECT_NE(ending_text(host).find(std::to_string(other)), std::string::npos) << ending_text(host);
    }
    for (const MessageKind kind : {MessageKind::refuse, MessageKind::start}) {
        Session guest;
        ScriptedLink link;
        bring_to(Stage::guest_greeting, guest, link);
        EXPECT_TRUE(link.sent_kind(MessageKind::hello));
        link.deliver(message(kind, 0, other));
        service_session(guest, link, 0);
        EXPECT_EQ(guest.ending, Ending::version_mismatch);
        EXPECT_FALSE(guest.started);
        EXPECT_NE(ending_text(guest).find(std::to_string(other)), std::string::npos) << ending_text(guest);
    }
}

TEST(SessionRules, WellsThatDifferStopTheGameOnBothSides)
{
    Session s;
    ScriptedLink link;
    bring_to(Stage::host_playing, s, link);
    link.deliver(idle_inputs(1, 60));
    link.deliver(with_hash(message(MessageKind::hash, 60), idle_guest_hash(60) ^ 1));
    service_session(s, link, 0);
    EXPECT_EQ(s.ending, Ending::out_of_step);
    EXPECT_TRUE(link.sent_kind(MessageKind::out_of_step)) << "the peer is told, so it stops too";
    EXPECT_TRUE(s.judged);

    Session told;
    ScriptedLink other;
    bring_to(Stage::host_playing, told, other);
    other.deliver(message(MessageKind::out_of_step, 60));
    service_session(told, other, 0);
    EXPECT_EQ(told.ending, Ending::out_of_step);

    Session fine;
    ScriptedLink third;
    bring_to(Stage::host_playing, fine, third);
    third.deliver(idle_inputs(1, 60));
    third.deliver(with_hash(message(MessageKind::hash, 60), idle_guest_hash(60)));
    service_session(fine, third, 0);
    EXPECT_EQ(fine.phase, Phase::playing) << "a matching hash changes nothing";
}

struct Wait {
    const char* what;
    Stage stage;
    bool connected;      // the transport ever said the peer is there
    bool keepalives;     // the peer keeps saying it is there, and nothing more
    int64_t end_by_ms;   // over by then
    Ending ending;
};

TEST(SessionRules, EveryWaitHasAnEnd)
{
    const SessionLimits limits;
    constexpr int64_t step = 10;
    const Wait waits[] = {
        {"a host that never answers", Stage::guest_greeting, false, false, limits.connect_ms + step, Ending::unreachable},
        {"a peer that never greets", Stage::host_greeting, true, false, limits.greeting_ms + step, Ending::opponent_lost},
        {"a peer gone silent in the game", Stage::host_playing, true, false, limits.silence_ms + step,
         Ending::opponent_lost},
        {"a peer that sends no moves", Stage::host_playing, true, true, (max_lag_ticks + 1) * 1000 / 60 + step,
         Ending::opponent_lost},
    };
    for (const Wait& wait : waits) {
        SCOPED_TRACE(wait.what);
        Session s;
        ScriptedLink link;
        if (wait.connected)
            bring_to(wait.stage, s, link);
        else
            open_session(s, Role::guest, 0, 0);
        int64_t now = 0;
        for (; now <= wait.end_by_ms && !session_over(s); now += step) {
            if (wait.keepalives)
                link.deliver(message(MessageKind::keepalive));
            service_session(s, link, now);
        }
        EXPECT_TRUE(session_over(s)) << "still waiting at " << now << " ms";
        EXPECT_GE(now, wait.end_by_ms - 2 * step) << "gave up too soon";
        EXPECT_EQ(s.ending, wait.ending);
        EXPECT_FALSE(ending_text(s).empty());
    }
}

// The host starts half a round trip late, so that both machines see the other equally behind.
TEST(SessionRules, TheHostStartsHalfARoundTripLate)
{
    const std::pair<int64_t, int32_t> trips[] = {{0, 0}, {100, 3}, {300, 9}, {5000, max_head_start}};
    for (const auto& [round_trip_ms, head_start] : trips) {
        Session s;
        ScriptedLink link;
        bring_to(Stage::host_greeting, s, link);
        link.deliver(message(MessageKind::hello));
        service_session(s, link, 0);
        link.deliver(message(MessageKind::ready));
        service_session(s, link, round_trip_ms);
        EXPECT_EQ(s.head_start, head_start) << round_trip_ms << " ms";
        EXPECT_EQ(clock_tick(s, round_trip_ms), head_start);
    }
}

} // namespace
