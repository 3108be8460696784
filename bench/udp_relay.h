// A small UDP relay on 127.0.0.1 between a guest and a host, on a thread of its own: every
// datagram waits out a delay, and some are dropped. It counts what crosses each way.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

struct RelayFaults {
    int64_t delay_ms = 0; // one way
    double loss = 0;
    uint32_t seed = 1;
    // Datagrams let through untouched each way before any is lost: ENet's handshake starts
    // with a one-second retransmission time, which a test need not sit through.
    uint64_t spared = 0;
};

// Stops by itself after this long, whatever its owner does.
constexpr int64_t relay_lifetime_ms = 10 * 60 * 1000;

class UdpRelay {
public:
    // Forwards to the host at 127.0.0.1:`host_port`; the guest connects to port().
    UdpRelay(uint16_t host_port, RelayFaults faults);
    ~UdpRelay();
    UdpRelay(const UdpRelay&) = delete;
    UdpRelay& operator=(const UdpRelay&) = delete;

    bool ready() const { return front_ >= 0 && back_ >= 0; }
    uint16_t port() const { return port_; }
    // Direction 0: guest to host; 1: host to guest. Payload bytes and datagrams sent, lost or not.
    uint64_t bytes(int direction) const { return bytes_[direction]; }
    uint64_t datagrams(int direction) const { return datagrams_[direction]; }
    void reset_counts();

private:
    void run(RelayFaults faults);

    int front_ = -1, back_ = -1; // the guest's side, the host's side
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<uint64_t> bytes_[2] = {}, datagrams_[2] = {};
    std::thread thread_;
};
