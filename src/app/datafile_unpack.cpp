// The library's packed-file format: a sliding-window (LZSS) stream after a four-byte magic.
#include "app/datafile_unpack.h"

#include <allegro.h>

namespace {

constexpr size_t window_size = 4096;
constexpr size_t longest_match = 18;
constexpr int shortest_match = 2;  // a copy of length code n copies n + 3 bytes
constexpr size_t magic_size = 4;

uint32_t magic_of(const std::vector<uint8_t>& file)
{
    return (uint32_t(file[0]) << 24) | (uint32_t(file[1]) << 16) | (uint32_t(file[2]) << 8) |
           uint32_t(file[3]);
}

} // namespace

const char* unpack_datafile(const std::vector<uint8_t>& file, std::vector<uint8_t>& out,
                            size_t max_size)
{
    out.clear();
    if (file.size() < magic_size)
        return "is not a datafile";
    const uint32_t magic = magic_of(file);
    if (magic == uint32_t(F_NOPACK_MAGIC)) {
        if (file.size() - magic_size > max_size)
            return "is larger than any datafile the game needs";
        out.assign(file.begin() + magic_size, file.end());
        return nullptr;
    }
    if (magic != uint32_t(F_PACK_MAGIC))
        return "is not a datafile";

    // The library clears the window except its last `longest_match` bytes.
    uint8_t window[window_size] = {};
    bool known[window_size];
    for (size_t i = 0; i < window_size; i++)
        known[i] = i < window_size - longest_match;
    size_t r = window_size - longest_match;
    unsigned flags = 0;
    size_t at = magic_size;
    auto put = [&](uint8_t c) {
        out.push_back(c);
        window[r] = c;
        known[r] = true;
        r = (r + 1) & (window_size - 1);
    };
    while (at < file.size()) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            flags = file[at++] | 0xff00u;
            if (at >= file.size())
                break;
        }
        if (flags & 1) {
            put(file[at++]);
        } else {
            if (at + 1 >= file.size())
                break;
            const size_t position = file[at] | ((file[at + 1] & 0xf0u) << 4);
            const int length = (file[at + 1] & 0x0f) + shortest_match;
            at += 2;
            for (int k = 0; k <= length; k++) {
                const size_t from = (position + size_t(k)) & (window_size - 1);
                if (!known[from])
                    return "is packed with references to bytes it never wrote";
                put(window[from]);
            }
        }
        if (out.size() > max_size)
            return "is larger than any datafile the game needs";
    }
    return nullptr;
}
