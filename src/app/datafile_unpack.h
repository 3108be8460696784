// The bytes of a datafile as the library will read them, unpacked from its packed form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Unpacks a whole file (magic "slh!" packed, "slh." plain) into `out`, without the magic.
// Returns nullptr, or the reason the bytes cannot be trusted. A packed stream that copies from
// the part of the library's unpacking window that starts uninitialised is refused: the library
// would read leftover memory there, so what it loads could differ from what was checked.
const char* unpack_datafile(const std::vector<uint8_t>& file, std::vector<uint8_t>& out,
                            size_t max_size);
