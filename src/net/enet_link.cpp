// ENet's host and peer behind the Transport calls; the library's own limits kept small, since
// no message of a game is longer than a few dozen bytes.
#include "net/enet_link.h"

namespace {

constexpr size_t one_peer = 1;
constexpr size_t one_channel = 1;
constexpr enet_uint8 game_channel = 0;
constexpr size_t max_waiting_bytes = 64 * 1024;
constexpr enet_uint32 close_poll_ms = 10;

ENetHost* make_host(const ENetAddress* address, std::string& problem)
{
    if (enet_initialize() != 0) {
        problem = "the network library cannot start";
        return nullptr;
    }
    ENetHost* host = enet_host_create(address, one_peer, one_channel, 0, 0);
    if (!host) {
        enet_deinitialize();
        problem = address ? "UDP port " + std::to_string(address->port) + " cannot be had (is another game using it?)"
                          : "no network socket can be had";
        return nullptr;
    }
    // Anything longer than a message, or a backlog no game makes, is not taken in at all.
    host->maximumPacketSize = max_message_bytes;
    host->maximumWaitingData = max_waiting_bytes;
    return host;
}

} // namespace

std::unique_ptr<EnetLink> EnetLink::listen(uint16_t port, std::string& problem)
{
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    ENetHost* host = make_host(&address, problem);
    return host ? std::unique_ptr<EnetLink>(new EnetLink(host)) : nullptr;
}

std::unique_ptr<EnetLink> EnetLink::connect(uint32_t address, uint16_t port, std::string& problem)
{
    ENetHost* host = make_host(nullptr, problem);
    if (!host)
        return nullptr;
    std::unique_ptr<EnetLink> link(new EnetLink(host));
    ENetAddress to{};
    to.host = address;
    to.port = port;
    link->peer_ = enet_host_connect(host, &to, one_channel, 0);
    if (!link->peer_) {
        problem = "cannot start a connection";
        return nullptr;
    }
    return link;
}

EnetLink::~EnetLink()
{
    let_go();
    enet_host_destroy(host_);
    enet_deinitialize();
}

bool EnetLink::poll(LinkEvent& event)
{
    ENetEvent e;
    while (!finished_) {
        const int got = enet_host_service(host_, &e, 0);
        if (got < 0) {
            finished_ = true;
            peer_ = nullptr;
            event.kind = LinkEventKind::disconnected;
            return true;
        }
        if (got == 0)
            return false;
        switch (e.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (connected_ || (peer_ && e.peer != peer_)) {
                enet_peer_disconnect_now(e.peer, 0); // only one opponent at a time
                break;
            }
            peer_ = e.peer;
            connected_ = true;
            event.kind = LinkEventKind::connected;
            return true;
        case ENET_EVENT_TYPE_RECEIVE: {
            const bool ours = e.peer == peer_;
            if (ours)
                fill_message_event(event, e.packet->data, e.packet->dataLength);
            enet_packet_destroy(e.packet);
            if (ours)
                return true;
            break;
        }
        case ENET_EVENT_TYPE_DISCONNECT:
            if (e.peer != peer_)
                break;
            peer_ = nullptr;
            finished_ = true;
            event.kind = LinkEventKind::disconnected;
            return true;
        case ENET_EVENT_TYPE_NONE: break;
        }
    }
    return false;
}

void EnetLink::send(const uint8_t* bytes, size_t size)
{
    if (finished_ || !connected_ || !peer_)
        return;
    ENetPacket* packet = enet_packet_create(bytes, size, ENET_PACKET_FLAG_RELIABLE);
    if (packet && enet_peer_send(peer_, game_channel, packet) < 0)
        enet_packet_destroy(packet);
}

void EnetLink::flush()
{
    if (!finished_)
        enet_host_flush(host_);
}

// Waits only until the peer has acknowledged every message, then says goodbye without waiting
// for an answer: the game must not stand still for a peer that has already let go.
void EnetLink::close()
{
    if (finished_)
        return;
    finished_ = true;
    if (!peer_)
        return;
    ENetEvent e;
    for (enet_uint32 waited = 0; connected_ && waited < static_cast<enet_uint32>(close_wait_ms);
         waited += close_poll_ms) {
        if (enet_list_empty(&peer_->outgoingCommands) && enet_list_empty(&peer_->sentReliableCommands))
            break;
        const int got = enet_host_service(host_, &e, close_poll_ms);
        if (got < 0 || (got > 0 && e.type == ENET_EVENT_TYPE_DISCONNECT && e.peer == peer_)) {
            peer_ = nullptr;
            return;
        }
        if (got > 0 && e.type == ENET_EVENT_TYPE_RECEIVE)
            enet_packet_destroy(e.packet);
    }
    if (connected_) {
        enet_peer_disconnect(peer_, 0);
        enet_host_flush(host_);
    } else {
        enet_peer_reset(peer_);
    }
    peer_ = nullptr;
}

void EnetLink::drop()
{
    let_go();
}

void EnetLink::let_go()
{
    finished_ = true;
    if (!peer_)
        return;
    if (connected_)
        enet_peer_disconnect_now(peer_, 0);
    else
        enet_peer_reset(peer_);
    peer_ = nullptr;
}

uint16_t EnetLink::port() const
{
    ENetAddress address{};
    return enet_socket_get_address(host_->socket, &address) == 0 ? address.port : 0;
}
