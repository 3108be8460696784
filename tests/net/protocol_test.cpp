// Messages survive the trip to bytes and back to the last byte, the greeting keeps its layout
// for every version to come, and the decoder refuses what no game sends.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "net/protocol.h"

namespace {

using Bytes = std::vector<uint8_t>;

Message message(MessageKind kind, uint16_t tick = 0, std::initializer_list<InputRun> runs = {})
{
    Message m{};
    m.kind = kind;
    m.version = protocol_version;
    m.tick = tick;
    for (const InputRun& run : runs)
        m.runs[m.run_count++] = run;
    return m;
}

Bytes bytes_of(const Message& m)
{
    const Packet p = encode_message(m);
    return Bytes(p.bytes, p.bytes + p.size);
}

TEST(Protocol, EveryKindComesBackAsItWentAndOnlyWhole)
{
    Message start = message(MessageKind::start), hash = message(MessageKind::hash, 7200), done = message(MessageKind::done, 4321);
    start.seed = 0xdeadbeef;
    hash.hash = 0x0123456789abcdefull;
    done.scores[0] = INT32_MAX;
    const Message sent[] = {message(MessageKind::hello), start, message(MessageKind::refuse), message(MessageKind::ready),
                            message(MessageKind::inputs, 6000, {{0x3f, 255}, {1, 2}, {0, 255}}), hash,
                            message(MessageKind::quit, 17), done, message(MessageKind::out_of_step, 60),
                            message(MessageKind::keepalive)};
    for (const Message& m : sent) {
        Bytes b = bytes_of(m);
        Message got;
        ASSERT_EQ(decode_message(b.data(), b.size(), got), nullptr) << int(m.kind);
        EXPECT_EQ(bytes_of(got), b);
        EXPECT_EQ(got.seed, m.seed);
        EXPECT_EQ(run_ticks(got), run_ticks(m));
        EXPECT_NE(decode_message(b.data(), b.size() - 1, got), nullptr) << "one byte short";
        b.push_back(0);
        EXPECT_NE(decode_message(b.data(), b.size(), got), nullptr) << "one byte over";
    }
    EXPECT_EQ(bytes_of(message(MessageKind::hello)), (Bytes{1, 'B', 'R', 'K', 'R', protocol_version & 0xff, protocol_version >> 8}))
        << "a hello keeps its layout, so that any two versions can tell each other apart";
}

TEST(Protocol, WhatNoGameSendsIsRefusedWithAReason)
{
    const std::pair<const char*, Bytes> refused[] = {
        {"nothing", {}},
        {"an unknown kind", {0}},
        {"a kind past the last", {11}},
        {"a hello from something else", {1, 'H', 'T', 'T', 'P', 1, 0}},
        {"inputs without runs", {5, 1, 0, 0}},
        {"an action past raise", {5, 1, 0, 1, 0x40, 1}},
        {"a run of no tick", {5, 1, 0, 1, 0, 0}},
        {"inputs for tick 0", {5, 0, 0, 1, 0, 1}},
        {"inputs past the last tick", {5, 0x20, 0x1c, 1, 0, 2}},
        {"a hash between seconds", {6, 61, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"a negative score", {8, 10, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}},
        {"a quit past the game", {7, 0xff, 0xff}},
    };
    for (const auto& [what, bytes] : refused) {
        Message got;
        const char* problem = decode_message(bytes.data(), bytes.size(), got);
        ASSERT_NE(problem, nullptr) << what;
        EXPECT_GT(std::strlen(problem), 0u) << what;
    }
}

} // namespace
