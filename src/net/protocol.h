// The messages two machines exchange in a network game, as bytes, and the checks every
// message passes before anything believes it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/game.h"

// Raised whenever a message changes shape or meaning; hello and refuse keep theirs for good,
// so that any two versions can tell each other apart.
constexpr uint16_t protocol_version = 1;
constexpr uint16_t default_port = 27350;
constexpr uint8_t protocol_magic[4] = {'B', 'R', 'K', 'R'};

// A well's hash travels once a second of game time.
constexpr int32_t hash_interval_ticks = 60;
// Runs of one held value in an inputs message; a sender sends at most a few ticks at once.
constexpr int max_runs = 16;
constexpr int max_run_length = UINT8_MAX;

enum class MessageKind : uint8_t {
    hello = 1,       // guest to host: magic, version
    start = 2,       // host to guest: magic, version, seed
    refuse = 3,      // either way: magic, the sender's version; the versions differ
    ready = 4,       // guest to host: the guest's clock has started
    inputs = 5,      // what the sender held, tick by tick from `tick`, as runs
    hash = 6,        // the sender's well after `tick`
    quit = 7,        // the sender's player left after playing `tick`
    done = 8,        // the sender settled the game at end tick `tick` with `scores`
    out_of_step = 9, // the sender found the wells apart at `tick`
    keepalive = 10,  // nothing to say, but still here
};

struct InputRun {
    uint8_t held;   // a PlayerInput's bits
    uint8_t length; // ticks it was held for
};

// Every field a message may carry; each kind uses its own.
struct Message {
    MessageKind kind;
    uint16_t version;
    uint32_t seed;
    uint16_t tick;
    uint8_t run_count;
    InputRun runs[max_runs];
    uint64_t hash;
    int32_t scores[max_players];
};

// The longest message: an inputs message of max_runs runs.
constexpr size_t max_message_bytes = 4 + 2 * max_runs;

struct Packet {
    uint8_t bytes[max_message_bytes];
    uint8_t size;
};

Packet encode_message(const Message& message);

// Reads one message of `size` bytes; nullptr when it is well formed, else what is wrong with
// it. Only the shape is judged here: whether it fits the game so far is the session's part.
const char* decode_message(const uint8_t* bytes, size_t size, Message& message);

// Ticks covered by an inputs message's runs.
int32_t run_ticks(const Message& message);
