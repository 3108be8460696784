// FNV-1a, fed one field at a time.
#include "net/well_hash.h"

#include <cstddef>
#include <type_traits>

namespace {

constexpr uint64_t fnv_offset = 14695981039346656037ull;
constexpr uint64_t fnv_prime = 1099511628211ull;
constexpr int byte_bits = 8;

struct Hasher {
    uint64_t value = fnv_offset;

    template <typename T>
    void add(T field)
    {
        const uint64_t bits = static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(field));
        for (std::size_t i = 0; i < sizeof(T); i++) {
            value ^= (bits >> (byte_bits * i)) & 0xffu;
            value *= fnv_prime;
        }
    }
};

} // namespace

uint64_t well_hash(const GameState& game, int index)
{
    const Player& p = game.players[index];
    Hasher h;
    for (const auto& row : p.grid)
        for (const Cell& cell : row) {
            h.add(cell.color);
            h.add(cell.state);
            h.add(cell.fall_offset);
            h.add(cell.slide_offset);
            h.add(cell.timer);
        }
    h.add(p.cursor_x);
    h.add(p.cursor_y);
    h.add(p.busy);
    h.add(p.rise);
    h.add(p.rise_delay);
    h.add(p.rise_countdown);
    h.add(p.chain);
    h.add(p.groups);
    h.add(p.key_latch);
    h.add(p.score);
    h.add(p.topped_out);
    for (const ActionGroup& group : p.store.groups) {
        h.add(group.cells);
        h.add(group.timer);
        h.add(group.kind);
        h.add(group.next);
    }
    for (const GroupCell& cell : p.store.cells) {
        h.add(cell.row);
        h.add(cell.col);
        h.add(cell.next);
    }
    h.add(p.store.free_group);
    h.add(p.store.free_cell);
    const GameRandom& random = game.well_randoms[index];
    for (int32_t word : random.state)
        h.add(word);
    h.add(random.front);
    h.add(random.rear);
    return h.value;
}
