// Datafile bytes built in tests: object bodies, whole files, the library's packed form, temp files.
#pragma once

#include <allegro.h>
#include <gtest/gtest.h>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes& put8(Bytes& b, int v) { return b.push_back(uint8_t(v)), b; }
inline Bytes& put16(Bytes& b, int v) { return put8(put8(b, v >> 8), v); }
inline Bytes& put32(Bytes& b, int32_t v) { return put16(put16(b, int(uint32_t(v) >> 16)), int(v & 0xffff)); }
inline Bytes& put16_intel(Bytes& b, int v) { return put8(put8(b, v), v >> 8); }
inline Bytes& put32_intel(Bytes& b, int32_t v)
{
    return put16_intel(put16_intel(b, int(v & 0xffff)), int(uint32_t(v) >> 16));
}
inline Bytes& zeros(Bytes& b, size_t n) { return b.resize(b.size() + n), b; }
inline Bytes cut(Bytes b, size_t n = 1) { return b.resize(b.size() - n), b; }

// Big-endian words followed by `n` zero bytes.
inline Bytes words(std::initializer_list<int32_t> ws, size_t n = 0)
{
    Bytes b;
    for (int32_t w : ws)
        put32(b, w);
    return zeros(b, n);
}

inline std::string text(const char* message) { return message ? message : "(accepted)"; }

// The library's packed form with every byte a literal: a flag byte of ones before each eight.
inline Bytes literal_stream(const Bytes& body)
{
    Bytes out;
    for (size_t i = 0; i < body.size(); i++) {
        if (i % 8 == 0)
            out.push_back(0xff);
        out.push_back(body[i]);
    }
    return out;
}

constexpr int32_t data_type = DAT_ID('D', 'A', 'T', 'A');

// One object of a datafile; `packed`: on its own, as literals, under a negated size.
struct Object {
    int32_t type;
    Bytes body;
    bool packed = false;
};

// A nested datafile's body: the object count, then each object with a name property.
inline Bytes object_list(const std::vector<Object>& objects)
{
    Bytes b;
    put32(b, int32_t(objects.size()));
    for (const Object& o : objects) {
        put32(put32(put32(b, DAT_PROPERTY), DAT_ID('N', 'A', 'M', 'E')), 3);
        b.insert(b.end(), {'O', 'B', 'J'});
        const Bytes stored = o.packed ? literal_stream(o.body) : o.body;
        put32(put32(put32(b, o.type), int32_t(stored.size())), (o.packed ? -1 : 1) * int32_t(o.body.size()));
        b.insert(b.end(), stored.begin(), stored.end());
    }
    return b;
}

// A whole file holding the objects: plain ("slh.") or packed whole as literals ("slh!").
inline Bytes datafile(const std::vector<Object>& objects, bool packed_whole = false)
{
    Bytes list = words({DAT_MAGIC}), b{'s', 'l', 'h', uint8_t(packed_whole ? '!' : '.')};
    const Bytes objects_bytes = object_list(objects);
    list.insert(list.end(), objects_bytes.begin(), objects_bytes.end());
    const Bytes stored = packed_whole ? literal_stream(list) : list;
    return b.insert(b.end(), stored.begin(), stored.end()), b;
}

// A temporary file holding `contents`, removed when the holder goes.
struct TempFile {
    std::string path = "/tmp/blockrise-app-XXXXXX";
    explicit TempFile(const Bytes& contents)
    {
        const int fd = mkstemp(path.data());
        EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
        close(fd);
    }
    ~TempFile() { unlink(path.c_str()); }
};

// ---- object bodies, each in the layout the library's loader for its type reads

inline Bytes bitmap(int depth, int w, int h, size_t pixel_bytes)
{
    Bytes b;
    return zeros(put16(put16(put16(b, depth), w), h), pixel_bytes);
}

inline Bytes sample(int bits, int32_t length, size_t sound_bytes)
{
    Bytes b;
    return zeros(put32(put16(put16(b, bits), 22050), length), sound_bytes);
}

// The first track's bytes follow its length, before the next 31 tracks' (zero) lengths.
inline Bytes tune(int32_t first_track_length, size_t first_track_bytes)
{
    Bytes b;
    return zeros(put32(put16(b, 96), first_track_length), first_track_bytes + 31 * 4);
}

// A glyph-range font with one range of `depth` (1 or 255: one colour, 8x8 glyphs; else 2x2 pictures).
inline Bytes range_font(int depth, int32_t begin, int32_t last, size_t glyph_bytes)
{
    Bytes b;
    put32(put32(put8(put16(put16(b, 0), 1), depth), begin), last);
    const int side = depth == 1 || depth == 255 ? 8 : 2;
    for (int64_t g = begin; g <= last && g - begin < 1000; g++)
        zeros(put16(put16(b, side), side), glyph_bytes);
    return b;
}

inline Bytes fixed_font(int height, size_t glyph_bytes)
{
    Bytes b;
    return zeros(put16(b, height), glyph_bytes);
}

// An old proportional font: 3x2 8-bit glyph pictures, the last one short by `short_by` bytes.
inline Bytes proportional_font(int glyphs, size_t short_by = 0)
{
    Bytes b;
    put16(b, 0xffff);
    for (int g = 0; g < glyphs; g++)
        zeros(put16(put16(b, 3), 2), 6);
    return cut(b, short_by);
}

inline Bytes rle_sprite(int depth, int w, int h, int32_t size, const Bytes& data)
{
    Bytes b;
    put32(put16(put16(put16(b, depth), w), h), size);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// RLE lines: `run` pixels, one transparent, then the line end; 8-bit as bytes, 16-bit as
// little-endian words, 32-bit as longs with 3-byte pixels.
inline Bytes rle_lines(int depth, int lines, int run = 2)
{
    Bytes b;
    for (int y = 0; y < lines; y++) {
        if (depth == 8)
            put8(put8(zeros(put8(b, run), size_t(run)), 0xff), 0);
        else if (depth <= 16)
            put16_intel(put16_intel(zeros(put16_intel(b, run), size_t(run) * 2), 0xffff), MASK_COLOR_16);
        else
            put32_intel(put32_intel(zeros(put32_intel(b, run), size_t(run) * 3), -1), MASK_COLOR_32);
    }
    return b;
}
