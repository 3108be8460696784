// The one piece every transport shares: how a message is handed to the session.
#include "net/transport.h"

#include <algorithm>
#include <cstring>

void fill_message_event(LinkEvent& event, const uint8_t* bytes, size_t size)
{
    event.kind = LinkEventKind::message;
    event.size = size;
    if (size > 0) // an empty message may come without any bytes at all
        std::memcpy(event.bytes, bytes, std::min(size, sizeof event.bytes));
}
