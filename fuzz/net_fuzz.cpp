// The packet decoder and the session against any bytes a peer could send: each input is a run
// of messages, each one length byte and then the bytes (a length past the rest is cut short),
// delivered to a host in the game and to a guest still greeting, with a local tick between
// messages. Nothing may crash, read out of bounds or leak; a session that ends on them must
// have ended for a reason and judged the game that began.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <vector>

#include "net/protocol.h"
#include "net/session.h"

namespace {

constexpr int64_t step_ms = 5;

struct FuzzLink : Transport {
    std::deque<LinkEvent> inbox;
    size_t sent = 0;
    bool poll(LinkEvent& event) override
    {
        if (inbox.empty())
            return false;
        event = inbox.front();
        inbox.pop_front();
        return true;
    }
    void send(const uint8_t*, size_t) override { sent++; }
    void flush() override {}
    void close() override {}
    void drop() override {}
    void deliver(const uint8_t* bytes, size_t size)
    {
        LinkEvent event{};
        fill_message_event(event, bytes, size);
        inbox.push_back(event);
    }
    void deliver(MessageKind kind)
    {
        Message m{};
        m.kind = kind;
        m.version = protocol_version;
        const Packet packet = encode_message(m);
        deliver(packet.bytes, packet.size);
    }
};

void check(bool holds)
{
    if (!holds)
        std::abort();
}

void check_ending(const Session& s)
{
    if (!session_over(s))
        return;
    check(s.ending != Ending::none);
    if (s.started)
        check(s.judged && verify_replay(s.replay).empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Message decoded;
    if (!decode_message(data, size, decoded) && decoded.kind == MessageKind::inputs)
        check(run_ticks(decoded) >= decoded.run_count);

    Session host, guest;
    FuzzLink to_host, to_guest;
    open_session(host, Role::host, 1234, 0);
    open_session(guest, Role::guest, 0, 0);
    for (FuzzLink* link : {&to_host, &to_guest})
        link->inbox.push_back(LinkEvent{LinkEventKind::connected, 0, {}});
    to_host.deliver(MessageKind::hello);
    to_host.deliver(MessageKind::ready);
    service_session(host, to_host, 0);
    service_session(guest, to_guest, 0);
    check(host.phase == Phase::playing && guest.phase == Phase::greeting);

    int64_t now = 0;
    for (size_t at = 0; at < size;) {
        const size_t length = std::min<size_t>(data[at], size - at - 1);
        const uint8_t* message = data + at + 1;
        at += 1 + length;
        now += step_ms;
        // As ENet may, an empty message comes without bytes at all.
        to_host.deliver(length ? message : nullptr, length);
        to_guest.deliver(length ? message : nullptr, length);
        service_session(host, to_host, now);
        service_session(guest, to_guest, now);
        const PlayerInput held{static_cast<uint8_t>(length & ((1u << action_count) - 1))};
        session_tick(host, to_host, held, now);
        session_tick(guest, to_guest, held, now);
        check_ending(host);
        check_ending(guest);
    }
    return 0;
}
