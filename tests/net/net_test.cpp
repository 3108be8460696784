// The network game: whole games between two sessions, hundreds over a simulated network on a
// virtual clock and a few over real sockets through a lossy relay; and the table of rules.txt.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "app/command_line.h"
#include "net/enet_link.h"
#include "net/session.h"
#include "net/well_hash.h"
#include "replay/replay_text.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint8_t raise_bit = action_bit(ACTION_RAISE);

// A transport whose events wait in a queue for the session.
struct Queued : Transport {
    std::deque<LinkEvent> inbox;
    bool poll(LinkEvent& e) override
    {
        if (inbox.empty())
            return false;
        e = inbox.front(), inbox.pop_front();
        return true;
    }
    void flush() override {}
};

// Datagrams delayed, jittered past each other, lost and duplicated on a virtual clock, beneath
// what ENet gives a session: a message is tried until a copy gets through and is taken in
// order, so one that overtook another waits for it; a reset is tried once.
struct SimNet {
    struct End : Queued {
        SimNet* net = nullptr;
        int side = 0;
        bool finished = false;
        int64_t silent_from = INT64_MAX, last_in = 0, last_sent = 0; // nothing it sends after silent_from goes out
        void send(const uint8_t* b, size_t n) override
        {
            LinkEvent e{};
            fill_message_event(e, b, n);
            if (net->tamper[side])
                net->tamper[side](e.bytes);
            net->post(side, e, true);
        }
        void close() override { stop(true, INT64_MAX); } // the goodbye comes after what was sent
        void drop() override { stop(false, net->now); }
        void stop(bool in_order, int64_t silent)
        {
            net->post(side, LinkEvent{LinkEventKind::disconnected, 0, {}}, in_order);
            finished = true, silent_from = silent;
            inbox.clear();
        }
    };

    SimNet(uint64_t seed, int64_t delay, int64_t jitter, double lost, double doubled)
        : random(seed), delay_ms(delay), jitter_ms(jitter), loss(lost), duplication(doubled) { ends[0].net = ends[1].net = this, ends[1].side = 1; }
    Transport& end(int side) { return ends[side]; }
    void connect()
    {
        for (int side = 0; side < 2; side++)
            flight.emplace(now + delay_ms, std::make_tuple(side, LinkEvent{LinkEventKind::connected, 0, {}}, now));
    }
    void vanish(int side) { ends[side].finished = true, ends[side].silent_from = now, ends[side].inbox.clear(); }
    int64_t next()
    {
        for (now += step_ms; !flight.empty() && flight.begin()->first <= now; flight.erase(flight.begin())) {
            const auto& [to, event, sent] = flight.begin()->second;
            if (!ends[to].finished && sent <= ends[1 - to].silent_from)
                ends[to].inbox.push_back(event), ends[to].finished = event.kind == LinkEventKind::disconnected;
        }
        return now;
    }
    void post(int from, const LinkEvent& event, bool in_order)
    {
        std::uniform_real_distribution<double> chance(0, 1);
        int64_t at = INT64_MAX, sent = now; // when the first copy to arrive does, and when it was sent
        for (int64_t tried = now; at == INT64_MAX && (in_order || tried == now); tried += 2 * (delay_ms + jitter_ms) + 20)
            for (int copies = chance(random) < duplication ? 2 : 1; copies > 0; copies--)
                if (const int64_t arrives = tried + delay_ms + static_cast<int64_t>(random() % (jitter_ms + 1));
                    chance(random) >= loss && arrives < at)
                    at = arrives, sent = tried;
        if (in_order) // not out before those ahead of it are
            at = ends[from].last_in = std::max(at, ends[from].last_in), sent = ends[from].last_sent = std::max(sent, ends[from].last_sent);
        if (!ends[from].finished && at != INT64_MAX)
            flight.emplace(at, std::make_tuple(1 - from, event, sent));
    }

    static constexpr int64_t step_ms = 4;
    std::mt19937_64 random;
    int64_t delay_ms, jitter_ms;
    double loss, duplication;
    int64_t now = 0;
    End ends[2];
    std::multimap<int64_t, std::tuple<int, LinkEvent, int64_t>> flight; // to whom, what, sent when; by arrival
    std::function<void(uint8_t*)> tamper[2]; // alters what a side sends, to make the games differ
};

int64_t real_ms()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Two ENet hosts in this process, the guest calling through a UDP relay on 127.0.0.1 that
// delays every datagram and drops some, though not ENet's handshake (which waits a second to
// try again). It relays on a thread of its own: a closing link waits for acknowledgements.
struct RealNet {
    RealNet(int64_t delay_ms, double loss, uint32_t seed) : host(EnetLink::listen(0, problem))
    {
        sockaddr_in own{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof own;
        if (host && !bind(relay, reinterpret_cast<sockaddr*>(&own), size) && !getsockname(relay, reinterpret_cast<sockaddr*>(&own), &size))
            port = ntohs(own.sin_port);
        thread = std::thread([this, delay_ms, loss, seed, to_host = sockaddr_in{AF_INET, htons(host ? host->port() : 0), {htonl(INADDR_LOOPBACK)}, {}}] {
            std::mt19937 random(seed);
            std::multimap<int64_t, std::pair<sockaddr_in, Bytes>> queue; // by when it is due
            sockaddr_in from{}, to_guest{};
            uint8_t buffer[2048];
            for (int seen = 0; !stop; std::this_thread::sleep_for(std::chrono::microseconds(200))) {
                socklen_t length = sizeof from;
                for (ssize_t got; (got = recvfrom(relay, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &length)) >= 0; length = sizeof from) {
                    const bool from_host = from.sin_port == to_host.sin_port;
                    to_guest = from_host ? to_guest : from;
                    if (seen++ < 32 || std::uniform_real_distribution<double>(0, 1)(random) >= loss)
                        queue.emplace(real_ms() + delay_ms, std::make_pair(from_host ? to_guest : to_host, Bytes(buffer, buffer + got)));
                }
                for (; !queue.empty() && queue.begin()->first <= real_ms(); queue.erase(queue.begin())) {
                    const auto& [to, bytes] = queue.begin()->second;
                    sendto(relay, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
                }
            }
        });
    }
    ~RealNet()
    {
        stop = true;
        thread.join();
        close(relay);
    }
    Transport& end(int side) { return side == 0 ? static_cast<Transport&>(*host) : *guest; }
    void connect() { guest = EnetLink::connect(htonl(INADDR_LOOPBACK), port, problem); }
    void vanish(int) {} // a machine no longer serviced answers nothing
    int64_t next()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return real_ms();
    }

    std::string problem;
    std::unique_ptr<EnetLink> host, guest;
    int relay = socket(AF_INET, SOCK_DGRAM, 0);
    uint16_t port = 0;
    std::atomic<bool> stop{false};
    std::thread thread;
};

enum Cause { clock_runs_out, tops_out, leaves, vanishes, tampered, cause_count };
enum Outcome { full_length, topped, left_early, lost_touch, parted, outcome_count };

struct Game {
    Cause cause = clock_runs_out;
    int who = 0;      // the player the cause falls on,
    int32_t when = 0; // on this tick of theirs
    uint32_t game_seed = 1, input_seeds[2] = {1, 2};
    int64_t guest_starts_ms = 0, time_limit_ms = 400000; // far past any game: reaching it means a hang
    SessionLimits limits;
    int32_t tampered_at = 0;
};

// A judged game's replay, written out and read back, plays to the result shown; written with
// its mode line anywhere but after the header, it is refused.
void expect_sound_replay(const Session& s)
{
    ASSERT_TRUE(s.judged);
    Replay back;
    std::string text = replay_text(s.replay), problem;
    ASSERT_TRUE(parse_replay(text, back, problem)) << problem;
    EXPECT_TRUE(back.separate_wells);
    EXPECT_EQ(verify_replay(back), "");
    EXPECT_EQ(back.end_tick, s.end_tick);
    for (int p = 0; p < max_players; p++)
        EXPECT_EQ(back.scores[p], s.final_state.players[p].score);
    EXPECT_FALSE(parse_replay(text.insert(text.find("end "), "wells separate\n"), back, problem));
}

// Plays the game as two game loops would, until both sessions are over or one is and the other
// machine is gone; checks what each machine made of it, and gives how it ended.
template <typename Net>
Outcome play(Game& g, Net& net)
{
    constexpr int64_t hz = 60, ms_per_second = 1000;
    constexpr double change_chance = 0.08; // per tick: a press or release now and then
    Session sessions[2];                   // 0 hosts, 1 joins
    int32_t ticks[2] = {}, input_delay_faults = 0; // local ticks not played the moment they were given
    int64_t started[2] = {-1, -1}, now = net.next(), began = now;
    uint8_t held[2] = {};
    bool called = false, vanished = false, all_done = false;
    std::mt19937 random[2] = {std::mt19937(g.input_seeds[0]), std::mt19937(g.input_seeds[1])};
    open_session(sessions[0], Role::host, g.game_seed, now, g.limits);
    for (; !all_done && now - began < g.time_limit_ms; now = net.next()) {
        if (!called && now - began >= g.guest_starts_ms)
            called = true, net.connect(), open_session(sessions[1], Role::guest, 0, now, g.limits);
        all_done = called;
        for (int p = 0; p < 1 + called; p++) {
            Session& s = sessions[p];
            bool gone = vanished && p == g.who;
            if (!gone && !session_over(s))
                service_session(s, net.end(p), now);
            if (s.phase == Phase::playing && started[p] < 0)
                started[p] = now - s.head_start * ms_per_second / hz;
            while (started[p] >= 0 && !session_over(s) && !gone && ticks[p] < (now - started[p]) * hz / ms_per_second) {
                const bool chosen = ++ticks[p] == g.when && p == g.who;
                if (chosen && g.cause == vanishes)
                    vanished = gone = true, net.vanish(p);
                else if (chosen && g.cause == leaves)
                    leave_session(s, net.end(p), now);
                else {
                    if (std::bernoulli_distribution(change_chance)(random[p]))
                        held[p] = static_cast<uint8_t>(random[p]() % raise_bit); // raise only by plan
                    const bool raising = g.cause == tops_out && p == g.who && ticks[p] >= g.when;
                    const int32_t before = s.versus.tracks[s.versus.local].played;
                    const bool could_play = s.phase == Phase::playing && !local_play_over(s.versus);
                    session_tick(s, net.end(p), PlayerInput{static_cast<uint8_t>(held[p] | (raising ? raise_bit : 0))}, now);
                    input_delay_faults += could_play && s.versus.tracks[s.versus.local].played != before + 1;
                }
            }
            all_done = all_done && (gone || session_over(s));
        }
    }
    EXPECT_TRUE(all_done) << "the game never ended";
    EXPECT_EQ(input_delay_faults, 0) << "a local tick was not played the moment it was given";
    const Session &host = sessions[0], &guest = sessions[1], &mover = sessions[g.who], &other = sessions[1 - g.who];
    if (g.tampered_at) {
        for (const Session* s : {&host, &guest}) {
            EXPECT_EQ(s->ending, Ending::out_of_step) << ending_text(*s);
            expect_sound_replay(*s);
            EXPECT_LE(s->end_tick, g.tampered_at + 2 * hash_interval_ticks) << "noticed at the next hash";
        }
        EXPECT_NE(replay_text(host.replay), replay_text(guest.replay)) << "the replays show where they differ";
        return parted;
    }
    if (host.ending == Ending::settled && guest.ending == Ending::settled) {
        expect_sound_replay(host);
        expect_sound_replay(guest);
        EXPECT_EQ(replay_text(host.replay), replay_text(guest.replay));
        for (int p = 0; p < max_players; p++)
            EXPECT_EQ(std::memcmp(&host.final_state.players[p], &guest.final_state.players[p], sizeof(Player)), 0) << p;
        const bool top_out = host.final_state.players[0].topped_out || host.final_state.players[1].topped_out;
        EXPECT_TRUE(host.end_tick == game_ticks || top_out) << "the game ended early without a top-out";
        return top_out ? topped : full_length;
    }
    EXPECT_TRUE(g.cause == leaves || vanished) << ending_text(host) << " / " << ending_text(guest);
    if (g.cause == leaves) {
        EXPECT_EQ(mover.ending, Ending::left);
        expect_sound_replay(mover);
    }
    expect_sound_replay(other);
    if (other.ending == Ending::settled) // the whole game may have been there already
        return outcome_count;
    // Cut short: the one who stayed judges where both wells were, and what each machine knows
    // of either player's moves is the same on both.
    EXPECT_EQ(other.ending, g.cause == leaves ? Ending::opponent_left : Ending::opponent_lost) << ending_text(other);
    EXPECT_EQ(other.end_tick, common_tick(other.versus));
    for (int p = 0; p < max_players; p++) {
        const WellTrack &x = other.versus.tracks[p], &y = mover.versus.tracks[p];
        EXPECT_EQ(std::memcmp(x.held + 1, y.held + 1, static_cast<size_t>(std::min(x.known, y.known))), 0) << p;
    }
    return g.cause == leaves ? left_early : lost_touch;
}

TEST(NetGames, OverASimulatedNetworkBothMachinesAgreeWhateverEndsTheGame)
{
    constexpr int game_count = 250, min_share = 30;
    int outcomes[outcome_count + 1] = {};
    for (int game = 0; game < game_count && !testing::Test::HasFatalFailure(); game++) {
        std::mt19937_64 r(static_cast<uint64_t>(game) * 7919u + 13u);
        const auto up_to = [&](int64_t most) { return static_cast<int64_t>(r() % static_cast<uint64_t>(most + 1)); };
        Game g;
        g.game_seed = static_cast<uint32_t>(r());
        SimNet net(r(), up_to(150), up_to(40), up_to(100) / 1000.0, up_to(50) / 1000.0);
        g.input_seeds[0] = static_cast<uint32_t>(r()), g.input_seeds[1] = static_cast<uint32_t>(r());
        g.guest_starts_ms = up_to(300);
        g.cause = static_cast<Cause>(up_to(cause_count - 1)), g.who = static_cast<int>(up_to(1));
        g.when = 1 + static_cast<int32_t>(up_to(g.cause == tops_out ? 4999 : g.cause == tampered ? 2999 : 6499));
        if (g.cause == tampered)
            net.tamper[g.who] = [&](uint8_t* m) { // an inputs message's first run turns its raise over
                if (!g.tampered_at && m[0] == static_cast<uint8_t>(MessageKind::inputs) && (m[1] | m[2] << 8) > g.when)
                    m[4] ^= raise_bit, g.tampered_at = m[1] | m[2] << 8;
            };
        SCOPED_TRACE(testing::Message() << "game " << game << ": cause " << g.cause << " (player " << g.who << ") at "
                                        << g.when << ", delay " << net.delay_ms << " ms, loss " << net.loss);
        outcomes[play(g, net)]++;
    }
    for (int outcome = 0; outcome < outcome_count; outcome++)
        EXPECT_GE(outcomes[outcome], min_share) << "the seeds gave ending " << outcome << " too small a share";
}

// A top-out through 50 ms and 5% loss ends alike on both; a guest leaving and a host falling
// silent end it for the other.
TEST(NetGames, OverRealSocketsTheyEndAlikeOrForTheOneWhoStays)
{
    const std::tuple<Cause, int, int32_t, int64_t, Outcome> games[] = {
        {tops_out, 0, 1, 50, topped}, {leaves, 1, 90, 30, left_early}, {vanishes, 0, 90, 30, lost_touch}};
    for (const auto& [cause, who, when, delay_ms, outcome] : games) {
        Game g;
        g.cause = cause, g.who = who, g.when = when, g.game_seed = 31 + cause, g.time_limit_ms = 30000;
        if (cause == vanishes) // the others keep the full limit: a busy machine may stall a while
            g.limits.silence_ms = 1500;
        SCOPED_TRACE(testing::Message() << "cause " << cause);
        RealNet net(delay_ms, 0.05, 7 + cause);
        ASSERT_NE(net.port, 0) << net.problem;
        std::string problem, port = std::to_string(net.host->port());
        EXPECT_TRUE(!EnetLink::listen(net.host->port(), problem) && problem.find(port) != std::string::npos) << "two games on " << port;
        EXPECT_EQ(play(g, net), outcome);
    }
}

// ---- The table: rules.txt ----

constexpr uint32_t table_seed = 4242;
constexpr const char* endings[] = {"none", "settled", "left", "opponent_left", "opponent_lost",
                                   "unreachable", "version_mismatch", "broken_rules", "out_of_step"};

// The session's link, whose far end is the table.
struct Peer : Queued {
    std::string sent, let_go; // in hex, a run of keepalives as one; close or drop
    void send(const uint8_t* bytes, size_t size) override
    {
        std::string hex = ",";
        for (size_t i = 0; i < size; i++)
            hex += {"0123456789abcdef"[bytes[i] >> 4], "0123456789abcdef"[bytes[i] & 15]};
        sent += hex == ",0a" && sent.size() >= 3 && sent.substr(sent.size() - 3) == hex ? "" : hex;
    }
    void close() override { let_go += " close"; }
    void drop() override { let_go += " drop"; }
    void deliver(const Bytes& b) { fill_message_event(inbox.emplace_back(), b.data(), b.size()); }
};

// A word of the table as bytes.
Bytes message_bytes(const std::string& word)
{
    GameState idle; // the guest's well after a second of holding nothing
    start_separate_game(idle, max_players, table_seed);
    TickEvents events{};
    for (int t = 0; t < hash_interval_ticks; t++)
        update_well(idle, 1, PlayerInput{0}, events);
    Bytes b;
    for (size_t i = 0; i < word.size() && word != "."; i += 2)
        if (word[i] == 'h' || word[i] == 'H')
            for (int k = 0; k < 8; k++)
                b.push_back(static_cast<uint8_t>((well_hash(idle, 1) ^ (word[i] == 'H')) >> (8 * k)));
        else
            b.push_back(static_cast<uint8_t>(std::stoi(word.substr(i, 2), nullptr, 16)));
    return b;
}

using Words = std::vector<std::string>;
Words words_of(const std::string& text)
{
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

void check_decoding(const Words& fields, const Words& words)
{
    for (const std::string& word : words) {
        Bytes b = message_bytes(word);
        Message m;
        const char* problem = decode_message(b.data(), b.size(), m);
        EXPECT_EQ(problem ? "refused" : "ok", fields[1]) << word << ": " << (problem ? problem : "");
        if (problem)
            continue;
        const Packet p = encode_message(m);
        EXPECT_EQ(Bytes(p.bytes, p.bytes + p.size), b) << word;
        EXPECT_NE(decode_message(b.data(), b.size() - 1, m), nullptr) << word << " a byte short";
        b.push_back(0);
        EXPECT_NE(decode_message(b.data(), b.size(), m), nullptr) << word << " a byte long";
    }
}

// A session handed what the table says; `told` is what its player must be told.
void check_session(const Words& fields, const Words& words, const std::string& told)
{
    Session s;
    Peer peer;
    int64_t now = 0;
    bool keepalives = false;
    open_session(s, fields[0] == "host" ? Role::host : Role::guest, table_seed, now);
    for (const std::string& w : words) {
        const size_t colon = w.find(':');
        if (w == "+")
            peer.inbox.push_back(LinkEvent{LinkEventKind::connected, 0, {}});
        else if (w == "~")
            keepalives = true;
        else if (w[0] == '@')
            service_session(s, peer, now), now = std::stoll(w.substr(1));
        else
            for (int n = colon == std::string::npos ? 1 : std::stoi(w); n > 0; n--)
                peer.deliver(message_bytes(w.substr(colon + 1)));
    }
    const int64_t until = std::stoll(fields[4]);
    for (service_session(s, peer, now); (now += 10) <= until; service_session(s, peer, now))
        if (keepalives)
            peer.deliver({static_cast<uint8_t>(MessageKind::keepalive)});
    EXPECT_EQ(endings[static_cast<int>(s.ending)], fields[1]) << s.detail;
    EXPECT_EQ(peer.let_go.empty() ? "-" : peer.let_go.substr(1), fields[2]);
    EXPECT_EQ(peer.sent.empty() ? "-" : peer.sent.substr(1), fields[3]);
    EXPECT_EQ(s.started ? std::to_string(clock_tick(s, until)) : "-", fields.at(5));
    EXPECT_EQ(s.judged, s.started && session_over(s)) << "a game that began is judged where it stood";
    EXPECT_EQ(s.judged ? verify_replay(s.replay) : "", "");
    EXPECT_NE(ending_text(s).find(told), std::string::npos) << ending_text(s);
}

void check_options(const Words& fields, const Words& words)
{
    std::vector<const char*> argv = {"blockrise"};
    for (size_t i = 1; i < fields.size(); i++)
        argv.push_back(fields[i].c_str());
    CommandLine line;
    std::string problem, got = "refused";
    if (parse_command_line(static_cast<int>(argv.size()), argv.data(), line, problem))
        got = (line.host ? "host " : "") + (line.join.empty() ? "" : "join " + line.join + " ") + std::to_string(line.port);
    EXPECT_EQ(words_of(got), words);
    EXPECT_EQ(problem.empty(), got != "refused") << "a refusal says why";
}

TEST(Rules, EveryLineOfTheTableHolds)
{
    std::ifstream in(std::string(SOURCE_DIR) + "/tests/net/rules.txt");
    ASSERT_TRUE(in.is_open()) << SOURCE_DIR;
    for (std::string line; std::getline(in, line);) {
        std::istringstream parts(line.substr(0, line.find('#')));
        std::string before, after, text, told; // the fields, "|", the words, "|", the text
        std::getline(std::getline(std::getline(parts, before, '|'), after, '|'), text);
        const Words fields = words_of(before), words = words_of(after);
        for (const std::string& w : words_of(text))
            told += (told.empty() ? "" : " ") + w;
        if (fields.empty())
            continue;
        SCOPED_TRACE(line);
        if (fields[0] == "decode")
            check_decoding(fields, words);
        else if (fields[0] == "options")
            check_options(fields, words);
        else if (fields[0] == "usage")
            EXPECT_NE(std::string(usage_text()).find(told), std::string::npos);
        else
            check_session(fields, words, told);
    }
}

} // namespace
