// ENet beneath the Transport: one host with one peer on one reliable, ordered channel.
#pragma once

#include <cstdint>
#include <enet/enet.h>
#include <memory>
#include <string>

#include "net/transport.h"

// How long a graceful close may wait for the peer to acknowledge the last messages.
constexpr int close_wait_ms = 1000;

class EnetLink final : public Transport {
public:
    // Waits on `port` (0: any free one) of every address of this machine for one peer. Null,
    // with the reason, if the port cannot be had.
    static std::unique_ptr<EnetLink> listen(uint16_t port, std::string& problem);
    // Starts connecting to `address` (IPv4, network byte order) at `port`.
    static std::unique_ptr<EnetLink> connect(uint32_t address, uint16_t port, std::string& problem);
    ~EnetLink() override;
    EnetLink(const EnetLink&) = delete;
    EnetLink& operator=(const EnetLink&) = delete;

    bool poll(LinkEvent& event) override;
    void send(const uint8_t* bytes, size_t size) override;
    void flush() override;
    void close() override;
    void drop() override;

    // The port this end is bound to.
    uint16_t port() const;

private:
    explicit EnetLink(ENetHost* host) : host_(host) {}
    void let_go();

    ENetHost* host_;
    ENetPeer* peer_ = nullptr;
    bool connected_ = false;
    bool finished_ = false; // closed, dropped or disconnected: nothing more comes
};
