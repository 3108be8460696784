// Bounded reads over a datafile's bytes, in the byte orders the library's readers use.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads that never step past the end of the range; each returns false (and moves nowhere)
// when the range ends first.
struct ByteReader {
    const uint8_t* at;
    size_t left;

    bool get8(int& value);
    bool get16(int& value);   // big-endian, as the library's pack_mgetw: 0-65535
    bool get32(int32_t& value); // big-endian, as pack_mgetl
    bool get16_intel(int& value);   // little-endian, as pack_igetw: 0-65535
    bool get32_intel(int32_t& value); // little-endian, as pack_igetl
    bool skip(size_t count);
};
