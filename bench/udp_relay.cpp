// The relay's loop: poll both sockets, queue what arrives with its due time, send what is due.
#include "udp_relay.h"

#include <arpa/inet.h>
#include <chrono>
#include <deque>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int poll_ms = 1;
constexpr size_t max_datagram = 2048;

int64_t now_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int bound_socket()
{
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in any = loopback(0);
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

struct Pending {
    int64_t due;
    int direction;
    std::vector<uint8_t> bytes;
};

} // namespace

UdpRelay::UdpRelay(uint16_t host_port, RelayFaults faults)
{
    front_ = bound_socket();
    back_ = bound_socket();
    const sockaddr_in host = loopback(host_port);
    if (back_ >= 0 && connect(back_, reinterpret_cast<const sockaddr*>(&host), sizeof host) != 0) {
        close(back_);
        back_ = -1;
    }
    sockaddr_in mine{};
    socklen_t size = sizeof mine;
    if (front_ >= 0 && getsockname(front_, reinterpret_cast<sockaddr*>(&mine), &size) == 0)
        port_ = ntohs(mine.sin_port);
    if (ready())
        thread_ = std::thread([this, faults] { run(faults); });
}

UdpRelay::~UdpRelay()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (front_ >= 0)
        close(front_);
    if (back_ >= 0)
        close(back_);
}

void UdpRelay::reset_counts()
{
    for (int d = 0; d < 2; d++)
        bytes_[d] = datagrams_[d] = 0;
}

void UdpRelay::run(RelayFaults faults)
{
    std::mt19937 random(faults.seed);
    std::uniform_real_distribution<double> chance(0, 1);
    std::deque<Pending> queue; // in due order: one delay for all
    sockaddr_in guest{};
    bool guest_known = false;
    const int64_t end = now_ms() + relay_lifetime_ms;
    uint8_t buffer[max_datagram];
    while (!stop_ && now_ms() < end) {
        pollfd fds[2] = {{front_, POLLIN, 0}, {back_, POLLIN, 0}};
        poll(fds, 2, poll_ms);
        for (int direction = 0; direction < 2; direction++) {
            for (;;) {
                sockaddr_in from{};
                socklen_t size = sizeof from;
                const ssize_t got = recvfrom(direction == 0 ? front_ : back_, buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr*>(&from), &size);
                if (got < 0)
                    break;
                if (direction == 0) {
                    guest = from;
                    guest_known = true;
                }
                bytes_[direction] += static_cast<uint64_t>(got);
                const bool spared = datagrams_[direction]++ < faults.spared;
                if (spared || chance(random) >= faults.loss)
                    queue.push_back(Pending{now_ms() + faults.delay_ms, direction,
                                            std::vector<uint8_t>(buffer, buffer + got)});
            }
        }
        while (!queue.empty() && queue.front().due <= now_ms()) {
            const Pending& p = queue.front();
            if (p.direction == 0)
                send(back_, p.bytes.data(), p.bytes.size(), 0);
            else if (guest_known)
                sendto(front_, p.bytes.data(), p.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&guest), sizeof guest);
            queue.pop_front();
        }
    }
}
