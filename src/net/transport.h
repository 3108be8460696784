// What a session needs of a network: one peer, whole messages delivered reliably and in order,
// and word when the peer is there or gone. ENet gives it over UDP; the tests give it in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "net/protocol.h"

enum class LinkEventKind : uint8_t {
    connected,    // the peer is there: messages can flow
    message,      // a message arrived
    disconnected, // the peer is gone, or could not be reached
};

struct LinkEvent {
    LinkEventKind kind;
    // The message's size as it arrived, which may be more than the bytes kept: such a message
    // is refused whole, and a longer one is never stored.
    size_t size;
    uint8_t bytes[max_message_bytes];
};

class Transport {
public:
    virtual ~Transport() = default;
    // The next thing that happened; false when nothing is waiting. Never blocks.
    virtual bool poll(LinkEvent& event) = 0;
    // Queues a message for the peer; nothing happens without one.
    virtual void send(const uint8_t* bytes, size_t size) = 0;
    // Puts what is queued on its way now rather than at the next poll.
    virtual void flush() = 0;
    // Lets go of the peer once what is queued has reached it; no more events follow.
    virtual void close() = 0;
    // Lets go of the peer at once, dropping what is queued; no more events follow.
    virtual void drop() = 0;
};

// Keeps the first `size` bytes that fit, for a transport's poll.
void fill_message_event(LinkEvent& event, const uint8_t* bytes, size_t size);
