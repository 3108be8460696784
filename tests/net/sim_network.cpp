// The simulated network: a lossy datagram layer and the reliable layer over it.
#include "sim_network.h"

#include <algorithm>

SimNetwork::SimNetwork(uint64_t seed, LinkFaults faults) : random_(seed), faults_(faults)
{
    for (int side = 0; side < 2; side++)
        ends_[side].net = this, ends_[side].side = side;
}

void SimNetwork::connect()
{
    for (int side = 0; side < 2; side++)
        in_flight_.push_back(Datagram{now_ + faults_.delay_ms, side, Kind::connect, 0, {}});
}

void SimNetwork::transmit(int from, Kind kind, uint32_t seq, const Bytes& bytes)
{
    std::uniform_real_distribution<double> chance(0, 1);
    std::uniform_int_distribution<int64_t> jitter(0, faults_.jitter_ms);
    const int copies = ends_[from].gone ? 0 : chance(random_) < faults_.duplication ? 2 : 1;
    for (int i = 0; i < copies; i++)
        if (chance(random_) >= faults_.loss)
            in_flight_.push_back(Datagram{now_ + faults_.delay_ms + jitter(random_), 1 - from, kind, seq, bytes});
}

void SimNetwork::send_reliable(End& end, const Bytes& bytes)
{
    end.unacked[end.next_seq] = {bytes, now_};
    transmit(end.side, Kind::data, end.next_seq++, bytes);
}

void SimNetwork::deliver_in_order(End& end)
{
    for (auto next = end.early.find(end.expected); next != end.early.end(); next = end.early.find(++end.expected)) {
        if (!end.finished) {
            LinkEvent event{LinkEventKind::disconnected, 0, {}};
            if (!next->second.empty())
                fill_message_event(event, next->second.data(), next->second.size());
            end.finished = next->second.empty();
            end.inbox.push_back(event);
        }
        end.early.erase(next);
    }
}

void SimNetwork::receive(const Datagram& d)
{
    End& end = ends_[d.to];
    if (end.gone)
        return;
    switch (d.kind) {
    case Kind::connect:
    case Kind::reset:
        if (!end.finished)
            end.inbox.push_back(LinkEvent{d.kind == Kind::connect ? LinkEventKind::connected : LinkEventKind::disconnected, 0, {}});
        end.finished = end.finished || d.kind == Kind::reset;
        return;
    case Kind::ack: end.unacked.erase(end.unacked.begin(), end.unacked.upper_bound(d.seq)); return;
    case Kind::data:
        if (d.seq >= end.expected)
            end.early.emplace(d.seq, d.bytes);
        deliver_in_order(end);
        transmit(end.side, Kind::ack, end.expected - 1, {});
        return;
    }
}

void SimNetwork::advance(int64_t now)
{
    now_ = now;
    // What falls due, in the order it does; what it sends in turn waits for a later call.
    const auto split = std::stable_partition(in_flight_.begin(), in_flight_.end(), [&](const Datagram& d) { return d.due > now; });
    std::vector<Datagram> due(std::make_move_iterator(split), std::make_move_iterator(in_flight_.end()));
    in_flight_.erase(split, in_flight_.end());
    std::stable_sort(due.begin(), due.end(), [](const Datagram& a, const Datagram& b) { return a.due < b.due; });
    for (const Datagram& d : due)
        receive(d);
    const int64_t retransmit_after = 2 * (faults_.delay_ms + faults_.jitter_ms) + 20;
    for (End& end : ends_)
        for (auto& [seq, sent] : end.unacked)
            if (now - sent.second >= retransmit_after) {
                sent.second = now;
                transmit(end.side, Kind::data, seq, sent.first);
            }
}

void SimNetwork::vanish(int side)
{
    ends_[side].gone = true;
    ends_[side].unacked.clear();
}

bool SimNetwork::End::poll(LinkEvent& event)
{
    if (gone || inbox.empty())
        return false;
    event = inbox.front();
    inbox.pop_front();
    return true;
}

void SimNetwork::End::send(const uint8_t* bytes, size_t size)
{
    Bytes message(bytes, bytes + size);
    if (net->tamper[side])
        net->tamper[side](message);
    if (!finished && !gone)
        net->send_reliable(*this, message);
}

// What was queued still goes, then the goodbye, retransmitted like any message.
void SimNetwork::End::close()
{
    if (!finished && !gone)
        net->send_reliable(*this, {});
    finished = true;
    inbox.clear();
}

void SimNetwork::End::drop()
{
    if (!finished && !gone)
        net->transmit(side, Kind::reset, 0, {});
    finished = true;
    inbox.clear();
    unacked.clear();
}
