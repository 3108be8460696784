// getifaddrs for the addresses to show, getaddrinfo on a helper thread for a friend's name.
#include "net/address.h"

#include <arpa/inet.h>
#include <atomic>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <thread>

struct HostLookup::Shared {
    std::atomic<State> state{State::pending};
    std::atomic<uint32_t> address{0};
};

std::vector<std::string> lan_addresses()
{
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return found;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !(i->ifa_flags & IFF_UP) ||
            (i->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN];
        const auto* in = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
            found.emplace_back(text);
    }
    freeifaddrs(list);
    return found;
}

bool numeric_address(const std::string& text, uint32_t& address)
{
    in_addr parsed{};
    if (inet_pton(AF_INET, text.c_str(), &parsed) != 1)
        return false;
    address = parsed.s_addr;
    return true;
}

HostLookup::HostLookup(const std::string& name) : shared_(std::make_shared<Shared>())
{
    uint32_t address = 0;
    if (numeric_address(name, address)) {
        shared_->address = address;
        shared_->state = State::found;
        return;
    }
    std::thread([shared = shared_, name] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* result = nullptr;
        if (getaddrinfo(name.c_str(), nullptr, &hints, &result) == 0 && result) {
            shared->address = reinterpret_cast<const sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
            shared->state = State::found;
        } else {
            shared->state = State::failed;
        }
        if (result)
            freeaddrinfo(result);
    }).detach();
}

HostLookup::State HostLookup::state() const
{
    return shared_->state;
}

uint32_t HostLookup::address() const
{
    return shared_->address;
}
