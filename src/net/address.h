// Machine addresses: this machine's own on its networks, for a friend to join, and a host
// name looked up without ever holding up the screen.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The IPv4 addresses of this machine's interfaces that are up, loopback left out.
std::vector<std::string> lan_addresses();

// A dotted IPv4 address in network byte order; false for anything else.
bool numeric_address(const std::string& text, uint32_t& address);

// A host name being looked up on a thread of its own, since a lookup can take many seconds
// to fail. The lookup is abandoned, not waited for, when this goes.
class HostLookup {
public:
    enum class State : uint8_t { pending, found, failed };
    explicit HostLookup(const std::string& name);
    State state() const;
    uint32_t address() const; // network byte order, once found

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};
