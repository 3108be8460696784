// Messages survive the trip to bytes and back, and the decoder refuses every malformed one
// before any field is believed.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "net/protocol.h"

namespace {

Message with_runs(std::initializer_list<InputRun> runs, uint16_t first)
{
    Message m{};
    m.kind = MessageKind::inputs;
    m.tick = first;
    for (const InputRun& run : runs)
        m.runs[m.run_count++] = run;
    return m;
}

Message of_kind(MessageKind kind, uint16_t tick = 0)
{
    Message m{};
    m.kind = kind;
    m.version = protocol_version;
    m.tick = tick;
    return m;
}

std::vector<Message> samples()
{
    Message start = of_kind(MessageKind::start);
    start.seed = 0xdeadbeef;
    Message hash = of_kind(MessageKind::hash, 7200);
    hash.hash = 0x0123456789abcdefull;
    Message done = of_kind(MessageKind::done, 4321);
    done.scores[0] = 2147483647;
    done.scores[1] = 0;
    Message refuse = of_kind(MessageKind::refuse);
    refuse.version = 65535;
    return {of_kind(MessageKind::hello), start, refuse, of_kind(MessageKind::ready),
            with_runs({{0, 1}}, 1), with_runs({{0x3f, 255}, {1, 2}, {0, 255}}, 6000), hash,
            of_kind(MessageKind::quit, 17), done, of_kind(MessageKind::out_of_step, 60), of_kind(MessageKind::keepalive)};
}

TEST(Protocol, EveryKindOfMessageComesBackAsItWent)
{
    for (const Message& sent : samples()) {
        const Packet packet = encode_message(sent);
        ASSERT_LE(packet.size, max_message_bytes);
        Message got;
        ASSERT_EQ(decode_message(packet.bytes, packet.size, got), nullptr) << "kind " << int(sent.kind);
        EXPECT_EQ(got.kind, sent.kind);
        EXPECT_EQ(got.tick, sent.tick);
        EXPECT_EQ(got.hash, sent.hash);
        EXPECT_EQ(got.seed, sent.seed);
        EXPECT_EQ(got.scores[0], sent.scores[0]);
        EXPECT_EQ(got.scores[1], sent.scores[1]);
        EXPECT_EQ(got.run_count, sent.run_count);
        EXPECT_EQ(run_ticks(got), run_ticks(sent));
        const bool greeting =
            sent.kind == MessageKind::hello || sent.kind == MessageKind::start || sent.kind == MessageKind::refuse;
        EXPECT_EQ(got.version, greeting ? sent.version : 0);
        // Every byte counts: one short or one over is refused.
        EXPECT_NE(decode_message(packet.bytes, packet.size - 1u, got), nullptr);
        uint8_t longer[max_message_bytes + 1] = {};
        std::memcpy(longer, packet.bytes, packet.size);
        EXPECT_NE(decode_message(longer, packet.size + 1u, got), nullptr);
    }
}

// The hello and refusal keep their layout in every version, so any two can tell they differ.
TEST(Protocol, GreetingsKeepTheirLayoutForGood)
{
    const Packet hello = encode_message(of_kind(MessageKind::hello));
    const std::vector<uint8_t> expected = {1, 'B', 'R', 'K', 'R', protocol_version & 0xff, protocol_version >> 8};
    EXPECT_EQ(std::vector<uint8_t>(hello.bytes, hello.bytes + hello.size), expected);
}

struct Malformed {
    const char* what;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> seventeen_runs()
{
    std::vector<uint8_t> bytes = {5, 1, 0, 17};
    bytes.resize(4 + 2 * 17, 1);
    return bytes;
}

const Malformed malformed[] = {
    {"nothing at all", {}},
    {"an unknown kind", {0}},
    {"a kind past the last", {11}},
    {"a hello without its version", {1, 'B', 'R', 'K', 'R', 1}},
    {"a hello from something else", {1, 'H', 'T', 'T', 'P', 1, 0}},
    {"a start with a wrong magic", {2, 'B', 'R', 'K', 'X', 1, 0, 1, 2, 3, 4}},
    {"a ready with a payload", {4, 0}},
    {"inputs without runs", {5, 1, 0, 0}},
    {"inputs with a missing run", {5, 1, 0, 2, 0, 1}},
    {"inputs with an action past raise", {5, 1, 0, 1, 0x40, 1}},
    {"inputs held for no tick", {5, 1, 0, 1, 0, 0}},
    {"inputs for tick 0", {5, 0, 0, 1, 0, 1}},
    {"inputs running past the last tick", {5, 0x20, 0x1c, 1, 0, 2}}, // ticks 7200 and 7201
    {"seventeen runs", seventeen_runs()},
    {"a hash between seconds", {6, 61, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
    {"a hash for tick 0", {6, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
    {"a hash past the game", {6, 0x5c, 0x1c, 1, 2, 3, 4, 5, 6, 7, 8}}, // 7260
    {"a negative score", {8, 10, 0, 0, 0, 0, 0x80, 0, 0, 0, 0}},
    {"an end past the game", {8, 0x21, 0x1c, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"a quit past the game", {7, 0xff, 0xff}},
    {"a keepalive with a payload", {10, 1, 2}},
};

TEST(Protocol, MalformedMessagesAreRefusedWithAReason)
{
    for (const Malformed& m : malformed) {
        Message got;
        const char* problem = decode_message(m.bytes.data(), m.bytes.size(), got);
        ASSERT_NE(problem, nullptr) << m.what;
        EXPECT_GT(std::strlen(problem), 0u) << m.what;
    }
}

} // namespace
