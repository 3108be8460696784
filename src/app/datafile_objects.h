// Checks of one datafile object's bytes against what the library's loader for its type will read.
#pragma once

#include <cstddef>
#include <cstdint>

// Big-endian reads over a byte range that never step past its end.
struct ByteReader {
    const uint8_t* at;
    size_t left;

    bool get8(int& value);
    bool get16(int& value);  // as the library reads a 16-bit word: 0-65535
    bool get32(int32_t& value);
    bool skip(size_t count);
};

// nullptr when the body of an object of `type` holds everything its loader reads and asks for
// nothing absurd (a depth the library has no code for, pixels or samples beyond the object's
// size); otherwise the reason, worded to follow "object N ".
const char* check_object_body(int32_t type, const uint8_t* body, size_t size);
