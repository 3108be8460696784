// The library's packed form (a sliding-window LZSS stream), decoded exactly as its reader does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Unpacks a whole file (magic "slh!" packed, "slh." plain) into `out`, without the magic.
// Returns nullptr, or the reason the bytes cannot be trusted. A packed stream that copies from
// the part of the library's unpacking window that starts uninitialised is refused: the library
// would read leftover memory there, so what it loads could differ from what was checked.
const char* unpack_datafile(const std::vector<uint8_t>& file, std::vector<uint8_t>& out);

// An object packed on its own, as the library's reader sees it.
struct PackedObject {
    std::vector<uint8_t> bytes; // the object's unpacked body
    size_t used = 0;            // bytes of the surrounding stream the reader took for it
    // The last byte came from a back-reference: the library's reader then does not report the
    // end of the object after it, and a loader that reads until the end reads on past it.
    bool ends_in_copy = false;
};

// Unpacks an object whose `size` bytes are packed at the start of `stream` (`left` bytes long),
// taking as many bytes of the stream as the library's reader does. nullptr, or why the object
// cannot be read whole.
const char* unpack_object(const uint8_t* stream, size_t left, size_t size, PackedObject& out);
