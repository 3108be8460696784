// A walk over the structure of a datafile before the library loads it, refusing files it would crash on.
#pragma once

#include <cstddef>
#include <cstdint>

// nullptr when the datafile at `path` is a regular file whose object list is whole: every object
// and property it announces is present and readable by the library's loaders, none carries the
// end marker as its type, and any nested datafile is whole too. Otherwise a message naming the
// file and where it breaks.
const char* check_datafile_shape(const char* path);

// The same walk over the unpacked bytes of a datafile (starting at its "ALL." magic).
const char* check_datafile_bytes(const char* name, const uint8_t* bytes, size_t size);
