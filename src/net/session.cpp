// The session's rules: who may say what when, how inputs are batched, when the game is judged.
#include "net/session.h"

#include <algorithm>

namespace {

constexpr int64_t ms_per_second = 1000;
constexpr int64_t game_hz = 60; // the game's clock
constexpr int64_t token = 1000; // a message's cost in rate_tokens
constexpr int32_t max_inputs_ticks = max_runs * max_run_length;

// Every way a session ends goes through here: a game that began is judged where it can be.
void end_session(Session& s, Ending ending, const std::string& detail = "")
{
    if (s.phase == Phase::over)
        return;
    if (s.phase == Phase::playing) {
        const Versus& v = s.versus;
        s.end_tick = versus_settled(v) ? versus_end(v) : common_tick(v);
        s.final_state = settle_versus(v, s.end_tick, s.replay);
        s.judged = true;
    }
    // A game judged in full stays so, whatever the peer does while saying goodbye.
    s.ending = s.phase == Phase::finishing && ending != Ending::out_of_step ? Ending::settled : ending;
    s.detail = detail;
    s.phase = Phase::over;
}

// The peer broke a rule: it is cut off at once, without a word.
void refuse_peer(Session& s, Transport& t, const std::string& rule)
{
    end_session(s, Ending::broken_rules, rule);
    t.drop();
}

void send(Session& s, Transport& t, const Message& m, int64_t now)
{
    const Packet packet = encode_message(m);
    t.send(packet.bytes, packet.size);
    s.sent_at = now;
}

Message message_of(MessageKind kind, int32_t tick = 0)
{
    Message m{};
    m.kind = kind;
    m.version = protocol_version;
    m.tick = static_cast<uint16_t>(tick);
    return m;
}

void set_phase(Session& s, Phase phase, int64_t now)
{
    s.phase = phase;
    s.phase_since = now;
}

void begin_playing(Session& s, int32_t head_start, int64_t now)
{
    start_versus(s.versus, s.seed, s.role == Role::host ? 0 : 1);
    s.started = true;
    s.head_start = head_start;
    s.clock_zero = now - head_start * ms_per_second / game_hz;
    set_phase(s, Phase::playing, now);
}

// Every local tick played and not yet sent, as runs of one held value.
void flush_inputs(Session& s, Transport& t, int64_t now)
{
    const WellTrack& own = s.versus.tracks[s.versus.local];
    while (s.sent_ticks < own.played) {
        Message m = message_of(MessageKind::inputs, s.sent_ticks + 1);
        int32_t tick = s.sent_ticks + 1;
        while (tick <= own.played && m.run_count < max_runs) {
            InputRun& run = m.runs[m.run_count++];
            run.held = own.held[tick];
            while (tick <= own.played && own.held[tick] == run.held && run.length < max_run_length) {
                run.length++;
                tick++;
            }
        }
        send(s, t, m, now);
        s.sent_ticks = tick - 1;
    }
}

void compare_results(Session& s, Transport& t)
{
    const bool same = s.peer_end == s.end_tick && s.peer_scores[0] == s.final_state.players[0].score &&
                      s.peer_scores[1] == s.final_state.players[1].score;
    end_session(s, same ? Ending::settled : Ending::out_of_step,
                same ? "" : "the other machine settled the game at tick " + std::to_string(s.peer_end));
    t.close();
}

// Judged as soon as both wells reach the end: the peer is told the result, to compare.
void check_settled(Session& s, Transport& t, int64_t now)
{
    if (s.phase != Phase::playing || !versus_settled(s.versus))
        return;
    flush_inputs(s, t, now);
    s.end_tick = versus_end(s.versus);
    s.final_state = settle_versus(s.versus, s.end_tick, s.replay);
    s.judged = true;
    if (s.peer_gone) {
        set_phase(s, Phase::finishing, now);
        return end_session(s, Ending::settled);
    }
    Message done = message_of(MessageKind::done, s.end_tick);
    for (int p = 0; p < max_players; p++)
        done.scores[p] = s.final_state.players[p].score;
    send(s, t, done, now);
    set_phase(s, Phase::finishing, now);
    if (s.peer_done)
        compare_results(s, t);
}

// A peer that goes once every move of its well up to the end is here takes nothing away: this
// player plays on to the end alone, and the result stands.
bool peer_part_complete(const Session& s)
{
    const Versus& v = s.versus;
    return s.phase == Phase::playing && v.tracks[remote_of(v)].played >= versus_end(v);
}

void peer_goes(Session& s, Transport& t, Ending ending, const std::string& detail)
{
    if (peer_part_complete(s))
        s.peer_gone = true;
    else
        end_session(s, ending, detail);
    t.close();
}

bool take_rate_token(Session& s, int64_t now)
{
    s.rate_tokens = std::min(rate_burst * token, s.rate_tokens + (now - s.rate_at) * rate_per_second);
    s.rate_at = now;
    if (s.rate_tokens < token)
        return false;
    s.rate_tokens -= token;
    return true;
}

bool in_game(const Session& s)
{
    return s.phase == Phase::playing || s.phase == Phase::finishing;
}

void out_of_step(Session& s, Transport& t, int32_t tick, int64_t now)
{
    send(s, t, message_of(MessageKind::out_of_step, tick), now);
    end_session(s, Ending::out_of_step, "the wells differ at tick " + std::to_string(tick));
    t.close();
}

// A greeting of another version is answered with ours, so both can say what differs.
bool versions_match(Session& s, Transport& t, const Message& m, int64_t now)
{
    if (m.version == protocol_version)
        return true;
    s.peer_version = m.version;
    send(s, t, message_of(MessageKind::refuse), now);
    end_session(s, Ending::version_mismatch);
    t.close();
    return false;
}

void take_inputs(Session& s, Transport& t, const Message& m, int64_t now)
{
    const WellTrack& remote = s.versus.tracks[remote_of(s.versus)];
    if (m.tick != remote.known + 1)
        return refuse_peer(s, t, m.tick <= remote.known ? "inputs for ticks already played" : "inputs that skip ticks");
    const int32_t count = run_ticks(m);
    if (m.tick + count - 1 > clock_tick(s, now) + max_lead_ticks)
        return refuse_peer(s, t, "inputs from further ahead than its clock can be");
    uint8_t held[max_inputs_ticks];
    int32_t filled = 0;
    for (int i = 0; i < m.run_count; i++)
        filled = static_cast<int32_t>(std::fill_n(held + filled, m.runs[i].length, m.runs[i].held) - held);
    TickEvents events{};
    if (!add_remote(s.versus, held, count, events))
        return refuse_peer(s, t, "inputs past the game's last tick");
    for (int i = 0; i < events.count && s.remote_events.count < max_tick_events; i++)
        if (events.list[i].kind == EventKind::match)
            s.remote_events.list[s.remote_events.count++] = events.list[i];
    check_settled(s, t, now);
}

void take_hash(Session& s, Transport& t, const Message& m, int64_t now)
{
    const WellTrack& remote = s.versus.tracks[remote_of(s.versus)];
    if (m.tick <= s.peer_hash_tick || m.tick > remote.known)
        return refuse_peer(s, t, "a hash for a tick it has not sent, or sent twice");
    s.peer_hash_tick = m.tick;
    // A copy that topped out before the tick cannot match a well that played it.
    if (remote.played < m.tick || remote.hashes[m.tick / hash_interval_ticks] != m.hash)
        out_of_step(s, t, m.tick, now);
}

void take_done(Session& s, Transport& t, const Message& m)
{
    if (s.peer_done || m.tick > s.versus.tracks[remote_of(s.versus)].known)
        return refuse_peer(s, t, "a result for ticks it has not sent");
    s.peer_done = true;
    s.peer_end = m.tick;
    std::copy(std::begin(m.scores), std::end(m.scores), std::begin(s.peer_scores));
    if (s.phase == Phase::finishing)
        compare_results(s, t);
}

void take_message(Session& s, Transport& t, const Message& m, int64_t now)
{
    const bool greeting = s.phase == Phase::greeting;
    const bool host = s.role == Role::host;
    switch (m.kind) {
    case MessageKind::hello:
        if (!host || !greeting || s.start_sent_at >= 0)
            return refuse_peer(s, t, "a hello out of turn");
        if (versions_match(s, t, m, now)) {
            Message start = message_of(MessageKind::start);
            start.seed = s.seed;
            send(s, t, start, now);
            s.start_sent_at = now;
        }
        return;
    case MessageKind::start:
        if (host || !greeting)
            return refuse_peer(s, t, "a start out of turn");
        if (versions_match(s, t, m, now)) {
            s.seed = m.seed;
            send(s, t, message_of(MessageKind::ready), now);
            begin_playing(s, 0, now);
        }
        return;
    case MessageKind::refuse:
        if (!greeting || m.version == protocol_version)
            return refuse_peer(s, t, "a refusal out of turn");
        s.peer_version = m.version;
        end_session(s, Ending::version_mismatch);
        return t.close();
    case MessageKind::ready: {
        if (!host || !greeting || s.start_sent_at < 0)
            return refuse_peer(s, t, "a ready out of turn");
        const int64_t half_trip = (now - s.start_sent_at) * game_hz / (2 * ms_per_second);
        return begin_playing(s, static_cast<int32_t>(std::min<int64_t>(half_trip, max_head_start)), now);
    }
    case MessageKind::keepalive: return;
    default: break;
    }
    if (!in_game(s))
        return refuse_peer(s, t, "game messages before the game began");
    switch (m.kind) {
    case MessageKind::inputs: return take_inputs(s, t, m, now);
    case MessageKind::hash: return take_hash(s, t, m, now);
    case MessageKind::done: return take_done(s, t, m);
    case MessageKind::quit:
        if (m.tick != s.versus.tracks[remote_of(s.versus)].known)
            return refuse_peer(s, t, "a leaving tick it has not sent");
        return peer_goes(s, t, Ending::opponent_left, "");
    case MessageKind::out_of_step:
        end_session(s, Ending::out_of_step, "the other machine found the wells differ at tick " + std::to_string(m.tick));
        return t.close();
    default: return;
    }
}

void take_event(Session& s, Transport& t, const LinkEvent& e, int64_t now)
{
    switch (e.kind) {
    case LinkEventKind::connected:
        if (s.phase != Phase::connecting)
            return;
        set_phase(s, Phase::greeting, now);
        s.heard_at = now;
        if (s.role == Role::guest)
            send(s, t, message_of(MessageKind::hello), now);
        return;
    case LinkEventKind::disconnected:
        if (s.phase == Phase::connecting)
            return end_session(s, Ending::unreachable, "no answer");
        return peer_goes(s, t, Ending::opponent_lost, "the connection closed");
    case LinkEventKind::message: {
        s.heard_at = now;
        if (!take_rate_token(s, now))
            return refuse_peer(s, t, "messages faster than any game sends");
        Message m;
        if (const char* problem = decode_message(e.bytes, e.size, m))
            return refuse_peer(s, t, problem);
        return take_message(s, t, m, now);
    }
    }
}

void mind_time(Session& s, Transport& t, int64_t now)
{
    const int64_t quiet = now - s.heard_at, waited = now - s.phase_since;
    const WellTrack& remote = s.versus.tracks[remote_of(s.versus)];
    switch (s.phase) {
    case Phase::connecting:
        if (s.role == Role::guest && waited > s.limits.connect_ms) {
            end_session(s, Ending::unreachable, "no answer");
            t.drop();
        }
        return;
    case Phase::greeting:
        if (waited > s.limits.greeting_ms) {
            end_session(s, Ending::opponent_lost, "no greeting came");
            t.drop();
        }
        return;
    case Phase::playing:
        if (s.peer_gone)
            return;
        if (quiet > s.limits.silence_ms) {
            end_session(s, Ending::opponent_lost, "no word for " + std::to_string(quiet / ms_per_second) + " s");
            t.drop();
        } else if (remote.known < versus_end(s.versus) && clock_tick(s, now) - remote.known > max_lag_ticks) {
            end_session(s, Ending::opponent_lost, "its moves stopped coming");
            t.drop();
        }
        return;
    case Phase::finishing:
        if (waited > s.limits.linger_ms || quiet > s.limits.silence_ms) {
            end_session(s, Ending::settled);
            t.close();
        }
        return;
    case Phase::over: return;
    }
}

} // namespace

void open_session(Session& s, Role role, uint32_t seed, int64_t now, const SessionLimits& limits)
{
    s = Session{};
    s.role = role;
    s.phase = Phase::connecting;
    s.ending = Ending::none;
    s.limits = limits;
    s.seed = seed;
    s.phase_since = s.heard_at = s.sent_at = s.rate_at = now;
    s.start_sent_at = -1;
    s.rate_tokens = rate_burst * token;
}

void service_session(Session& s, Transport& t, int64_t now)
{
    LinkEvent event;
    while (s.phase != Phase::over && !s.peer_gone && t.poll(event))
        take_event(s, t, event, now);
    if (s.phase != Phase::over)
        mind_time(s, t, now);
    if (s.phase != Phase::over && s.phase != Phase::connecting && !s.peer_gone && now - s.sent_at >= s.limits.keepalive_ms)
        send(s, t, message_of(MessageKind::keepalive), now);
    if (s.phase != Phase::over)
        t.flush();
}

TickEvents session_tick(Session& s, Transport& t, PlayerInput input, int64_t now)
{
    TickEvents events = s.remote_events;
    s.remote_events = TickEvents{};
    if (s.phase != Phase::playing || !play_local(s.versus, input, events))
        return events;
    const WellTrack& own = s.versus.tracks[s.versus.local];
    const int32_t tick = own.played;
    // A change goes out at once; a held or idle stretch waits for a few ticks' company.
    const bool changed = own.held[tick] != own.held[tick - 1];
    if (changed || tick - s.sent_ticks >= s.limits.batch_ticks || local_play_over(s.versus))
        flush_inputs(s, t, now);
    if (tick % hash_interval_ticks == 0) {
        flush_inputs(s, t, now);
        Message hash = message_of(MessageKind::hash, tick);
        hash.hash = own.hashes[tick / hash_interval_ticks];
        send(s, t, hash, now);
    }
    check_settled(s, t, now);
    if (s.phase != Phase::over)
        t.flush();
    return events;
}

void leave_session(Session& s, Transport& t, int64_t now)
{
    if (s.phase == Phase::over)
        return;
    if (s.phase == Phase::playing) {
        flush_inputs(s, t, now);
        send(s, t, message_of(MessageKind::quit, s.versus.tracks[s.versus.local].played), now);
    }
    end_session(s, Ending::left);
    t.close();
}

const GameState& session_view(const Session& s)
{
    return s.judged ? s.final_state : s.versus.live;
}

int32_t clock_tick(const Session& s, int64_t now)
{
    return static_cast<int32_t>((now - s.clock_zero) * game_hz / ms_per_second);
}

std::string ending_text(const Session& s)
{
    switch (s.ending) {
    case Ending::none:
    case Ending::settled: return "";
    case Ending::left: return "You left the game";
    case Ending::opponent_left: return "Your opponent left the game";
    case Ending::opponent_lost: return "Lost touch with your opponent: " + s.detail;
    case Ending::unreachable: return "No Blockrise answered there";
    case Ending::version_mismatch:
        return "Your opponent's Blockrise speaks protocol " + std::to_string(s.peer_version) + ", this one " +
               std::to_string(protocol_version);
    case Ending::broken_rules: return "Disconnected: your opponent's game sent " + s.detail;
    case Ending::out_of_step: return "The two games went out of step: " + s.detail;
    }
    return "";
}
