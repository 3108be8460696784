// Two ends of a simulated network on a virtual clock. Datagrams are delayed, dropped,
// duplicated and reordered; a small reliable layer on top (sequence numbers, cumulative acks,
// retransmission) gives each end what ENet gives a session: whole messages, in order, once.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "net/transport.h"

struct LinkFaults {
    int64_t delay_ms = 20;  // one way
    int64_t jitter_ms = 10; // a further 0..jitter each: datagrams overtake each other
    double loss = 0.05;
    double duplication = 0.02;
};

class SimNetwork {
public:
    SimNetwork(uint64_t seed, LinkFaults faults);
    Transport& end(int side) { return ends_[side]; } // 0 listens, 1 calls
    void connect();                                  // both hear it one delay later
    void advance(int64_t now);                       // delivers what is due, retransmits
    void vanish(int side);                           // that machine is gone without a word
    // Alters the messages `side` sends before they go out (to make the two games differ).
    std::function<void(std::vector<uint8_t>&)> tamper[2];

private:
    using Bytes = std::vector<uint8_t>;
    enum class Kind : uint8_t { connect, data, ack, reset }; // data without bytes: goodbye
    struct Datagram {
        int64_t due;
        int to;
        Kind kind;
        uint32_t seq;
        Bytes bytes;
    };
    struct End : Transport {
        SimNetwork* net = nullptr;
        int side = 0;
        bool finished = false, gone = false;
        std::deque<LinkEvent> inbox;
        uint32_t next_seq = 1, expected = 1;
        std::map<uint32_t, std::pair<Bytes, int64_t>> unacked; // seq: bytes, when last sent
        std::map<uint32_t, Bytes> early;                      // arrived before their turn

        bool poll(LinkEvent& event) override;
        void send(const uint8_t* bytes, size_t size) override;
        void flush() override {}
        void close() override;
        void drop() override;
    };

    void transmit(int from, Kind kind, uint32_t seq, const Bytes& bytes);
    void send_reliable(End& end, const Bytes& bytes);
    void receive(const Datagram& d);
    void deliver_in_order(End& end);

    std::mt19937_64 random_;
    LinkFaults faults_;
    int64_t now_ = 0;
    End ends_[2];
    std::vector<Datagram> in_flight_;
};
