// The screens before a network game: the host waiting for an opponent, with the addresses to
// give a friend, and the guest looking the host up and connecting. Escape gives up on either;
// a failure is shown until a key is pressed or a few seconds pass.
#pragma once

#include <allegro.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/screen_io.h"
#include "net/enet_link.h"
#include "net/session.h"
#include "screens/input.h"

// What a network game is to be.
struct NetPlan {
    Role role;
    std::string host_name; // the guest's: whom to join
    uint16_t port;
    uint32_t seed;         // the host's: the game's seed
    Controls controls;
    bool low_power;
};

// The connection being made, and then played over.
struct NetOpening {
    std::unique_ptr<EnetLink> link;
    std::unique_ptr<Session> session;
};

enum class WaitResult : uint8_t { ready, gave_up, failed };

// Until the session plays, gives up or fails (after showing why, and saying it on stderr).
WaitResult open_network_game(const ScreenIo& io, const NetPlan& plan, BITMAP* frame_buffer, BITMAP* background,
                             NetOpening& opening);

// Milliseconds of a clock that only goes forward: the session's time.
int64_t network_clock_ms();

// `text` broken at spaces into lines no wider than `width` pixels in `f`.
std::vector<std::string> wrap_text(FONT* f, const std::string& text, int width);
