// The library's LZSS decoder, mirrored byte for byte so the check sees what its loaders will read.
#include "app/datafile_unpack.h"

#include <allegro.h>

namespace {

constexpr size_t window_size = 4096;
constexpr size_t longest_match = 18;
constexpr int shortest_match = 2;    // a copy of length code n copies n + 3 bytes
constexpr size_t magic_size = 4;

// One output byte at a time, taking input only when the next byte needs it, as the library's
// lzss_read does (it can stop after any byte, even in the middle of a copy, and carry on later).
class Decoder {
public:
    enum class Step { byte, input_ended, unwritten_window };

    Decoder(const uint8_t* input, size_t size) : in(input), end(size)
    {
        // The library clears the window except its last `longest_match` bytes.
        for (size_t i = 0; i < window_size; i++)
            known[i] = i < window_size - longest_match;
    }

    Step next(uint8_t& c)
    {
        if (copy_left == 0) {
            flags >>= 1;
            if ((flags & 0x100) == 0) {
                if (at >= end)
                    return Step::input_ended;
                flags = in[at++] | 0xff00u;
            }
            if (flags & 1) {
                if (at >= end)
                    return Step::input_ended;
                from_copy = false;
                return put(c = in[at++]);
            }
            if (at + 1 >= end) {
                at = end;
                return Step::input_ended;
            }
            copy_from = in[at] | ((in[at + 1] & 0xf0u) << 4);
            copy_left = (in[at + 1] & 0x0f) + shortest_match + 1;
            at += 2;
        }
        const size_t from = copy_from++ & (window_size - 1);
        copy_left--;
        if (!known[from])
            return Step::unwritten_window;
        from_copy = true;
        return put(c = window[from]);
    }

    size_t used() const { return at; }
    bool last_from_copy() const { return from_copy; }

private:
    Step put(uint8_t c)
    {
        window[r] = c;
        known[r] = true;
        r = (r + 1) & (window_size - 1);
        return Step::byte;
    }

    const uint8_t* in;
    size_t end, at = 0;
    uint8_t window[window_size] = {};
    bool known[window_size];
    size_t r = window_size - longest_match;
    unsigned flags = 0;
    size_t copy_from = 0;
    int copy_left = 0;
    bool from_copy = false;
};

constexpr const char* unwritten = "is packed with references to bytes it never wrote";

uint32_t magic_of(const std::vector<uint8_t>& file)
{
    return (uint32_t(file[0]) << 24) | (uint32_t(file[1]) << 16) | (uint32_t(file[2]) << 8) |
           uint32_t(file[3]);
}

} // namespace

const char* unpack_datafile(const std::vector<uint8_t>& file, std::vector<uint8_t>& out)
{
    out.clear();
    if (file.size() < magic_size)
        return "is not a datafile";
    const uint32_t magic = magic_of(file);
    if (magic == uint32_t(F_NOPACK_MAGIC)) {
        out.assign(file.begin() + magic_size, file.end());
        return nullptr;
    }
    if (magic != uint32_t(F_PACK_MAGIC))
        return "is not a datafile";
    Decoder decoder(file.data() + magic_size, file.size() - magic_size);
    for (;;) {
        uint8_t c = 0;
        switch (decoder.next(c)) {
        case Decoder::Step::byte: out.push_back(c); break;
        case Decoder::Step::input_ended: return nullptr;
        case Decoder::Step::unwritten_window: return unwritten;
        }
    }
}

const char* unpack_object(const uint8_t* stream, size_t left, size_t size, PackedObject& out)
{
    out = PackedObject{};
    Decoder decoder(stream, left);
    // The library unpacks in refills of its buffer size; a refill that ends the stream while a
    // copy is under way still hands out the rest of the copy, so the bytes are the same as one
    // unbroken run of the decoder.
    while (out.bytes.size() < size) {
        uint8_t c = 0;
        switch (decoder.next(c)) {
        case Decoder::Step::byte: out.bytes.push_back(c); break;
        case Decoder::Step::input_ended: return "is packed and cut short";
        case Decoder::Step::unwritten_window: return unwritten;
        }
    }
    out.used = decoder.used();
    out.ends_in_copy = decoder.last_from_copy();
    return nullptr;
}
