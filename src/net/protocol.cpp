// Messages to bytes and back: little-endian fields, one exact size per kind.
#include "net/protocol.h"

#include <cstring>

namespace {

constexpr size_t kind_bytes = 1;
constexpr size_t greeting_bytes = kind_bytes + sizeof protocol_magic + 2; // hello, refuse
constexpr size_t start_bytes = greeting_bytes + 4;
constexpr size_t tick_bytes = kind_bytes + 2;                              // quit, out_of_step
constexpr size_t hash_bytes = tick_bytes + 8;
constexpr size_t done_bytes = tick_bytes + 4 * max_players;
constexpr size_t inputs_header_bytes = tick_bytes + 1;
constexpr size_t run_bytes = 2;
constexpr uint8_t all_actions = (1u << action_count) - 1;
constexpr int byte_bits = 8;

struct Writer {
    Packet packet{};
    void byte(uint8_t value) { packet.bytes[packet.size++] = value; }
    void number(uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; i++)
            byte(static_cast<uint8_t>(value >> (byte_bits * i)));
    }
    void magic()
    {
        for (uint8_t m : protocol_magic)
            byte(m);
    }
};

struct Reader {
    const uint8_t* at;
    uint64_t number(int bytes)
    {
        uint64_t value = 0;
        for (int i = 0; i < bytes; i++)
            value |= static_cast<uint64_t>(*at++) << (byte_bits * i);
        return value;
    }
};

size_t size_of(MessageKind kind, size_t run_count)
{
    switch (kind) {
    case MessageKind::hello:
    case MessageKind::refuse: return greeting_bytes;
    case MessageKind::start: return start_bytes;
    case MessageKind::ready:
    case MessageKind::keepalive: return kind_bytes;
    case MessageKind::inputs: return inputs_header_bytes + run_bytes * run_count;
    case MessageKind::hash: return hash_bytes;
    case MessageKind::quit:
    case MessageKind::out_of_step: return tick_bytes;
    case MessageKind::done: return done_bytes;
    }
    return 0;
}

bool known_kind(uint8_t kind)
{
    return kind >= static_cast<uint8_t>(MessageKind::hello) && kind <= static_cast<uint8_t>(MessageKind::keepalive);
}

const char* check_runs(Message& message, Reader& in)
{
    int32_t ticks = 0;
    for (int i = 0; i < message.run_count; i++) {
        InputRun& run = message.runs[i];
        run.held = static_cast<uint8_t>(in.number(1));
        run.length = static_cast<uint8_t>(in.number(1));
        if (run.held & ~all_actions)
            return "an input holds an action the game does not have";
        if (run.length == 0)
            return "an input run lasts no tick";
        ticks += run.length;
    }
    if (message.tick < 1 || message.tick + ticks - 1 > game_ticks)
        return "inputs for ticks outside a game";
    return nullptr;
}

} // namespace

int32_t run_ticks(const Message& message)
{
    int32_t ticks = 0;
    for (int i = 0; i < message.run_count && i < max_runs; i++)
        ticks += message.runs[i].length;
    return ticks;
}

Packet encode_message(const Message& message)
{
    Writer out;
    out.byte(static_cast<uint8_t>(message.kind));
    switch (message.kind) {
    case MessageKind::hello:
    case MessageKind::refuse:
    case MessageKind::start:
        out.magic();
        out.number(message.version, 2);
        if (message.kind == MessageKind::start)
            out.number(message.seed, 4);
        break;
    case MessageKind::inputs:
        out.number(message.tick, 2);
        out.byte(message.run_count);
        for (int i = 0; i < message.run_count && i < max_runs; i++) {
            out.byte(message.runs[i].held);
            out.byte(message.runs[i].length);
        }
        break;
    case MessageKind::hash:
        out.number(message.tick, 2);
        out.number(message.hash, 8);
        break;
    case MessageKind::done:
        out.number(message.tick, 2);
        for (int32_t score : message.scores)
            out.number(static_cast<uint32_t>(score), 4);
        break;
    case MessageKind::quit:
    case MessageKind::out_of_step: out.number(message.tick, 2); break;
    case MessageKind::ready:
    case MessageKind::keepalive: break;
    }
    return out.packet;
}

const char* decode_message(const uint8_t* bytes, size_t size, Message& message)
{
    message = Message{};
    if (size == 0 || size > max_message_bytes)
        return size == 0 ? "an empty message" : "a message longer than any the game sends";
    if (!known_kind(bytes[0]))
        return "a message of no known kind";
    message.kind = static_cast<MessageKind>(bytes[0]);
    const size_t runs = message.kind == MessageKind::inputs && size >= inputs_header_bytes ? bytes[3] : 0;
    if (size != size_of(message.kind, runs))
        return "a message of the wrong size for its kind";
    Reader in{bytes + kind_bytes};
    switch (message.kind) {
    case MessageKind::hello:
    case MessageKind::refuse:
    case MessageKind::start:
        if (std::memcmp(in.at, protocol_magic, sizeof protocol_magic) != 0)
            return "a greeting from something that is not Blockrise";
        in.at += sizeof protocol_magic;
        message.version = static_cast<uint16_t>(in.number(2));
        if (message.kind == MessageKind::start)
            message.seed = static_cast<uint32_t>(in.number(4));
        return nullptr;
    case MessageKind::inputs:
        message.tick = static_cast<uint16_t>(in.number(2));
        message.run_count = static_cast<uint8_t>(in.number(1));
        if (message.run_count == 0 || message.run_count > max_runs)
            return "an inputs message with no runs or too many";
        return check_runs(message, in);
    case MessageKind::hash:
        message.tick = static_cast<uint16_t>(in.number(2));
        message.hash = in.number(8);
        if (message.tick == 0 || message.tick > game_ticks || message.tick % hash_interval_ticks != 0)
            return "a hash for a tick that is not a whole second of a game";
        return nullptr;
    case MessageKind::done:
        message.tick = static_cast<uint16_t>(in.number(2));
        for (int32_t& score : message.scores) {
            score = static_cast<int32_t>(static_cast<uint32_t>(in.number(4)));
            if (score < 0)
                return "a negative score";
        }
        return message.tick > game_ticks ? "an end after the game's last tick" : nullptr;
    case MessageKind::quit:
    case MessageKind::out_of_step:
        message.tick = static_cast<uint16_t>(in.number(2));
        return message.tick > game_ticks ? "a tick after the game's last" : nullptr;
    case MessageKind::ready:
    case MessageKind::keepalive: return nullptr;
    }
    return "a message of no known kind";
}
