// Checks of one datafile object's bytes against what the library's loader for its type will read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/datafile_bytes.h"

// The bytes of one object as its loader reads them (unpacked, when it was packed on its own).
struct ObjectBody {
    const uint8_t* at;
    size_t size;
    // The library reports the object's end once its last byte is read; not so for an object
    // packed on its own whose last byte comes from a back-reference.
    bool end_seen = true;
};

// nullptr when the loader for `type` finds everything it reads in `body`, allocates only what
// those bytes account for, and makes nothing the library cannot make; otherwise the reason,
// worded to follow "object N ".
const char* check_object_body(int32_t type, const ObjectBody& body);

// Bytes the library reads for one pixel stored at `depth`; 0 for a depth it has no reader for.
int stored_bytes_per_pixel(int depth, bool alpha);

// Whether the library can load a picture stored at `depth` (with an alpha byte for `alpha`) in
// the current colour depth: it converts every plain depth, but of the alpha ones only 32-bit;
// any other fails the loader, and a failing loader frees the object list twice.
bool depth_loads(int depth, bool alpha);

// Width, height and pixels of a picture stored at `depth`, as the library's bitmap reader takes
// them; the reader moves past them.
const char* check_pixels(ByteReader& in, int depth, bool alpha);
