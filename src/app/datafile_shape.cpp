// The structural walk over a datafile: object list, properties, objects packed on their own.
// The library trusts a datafile's layout: a file cut short makes it read the end-of-file value
// as an object type, which it takes for the end marker and calls an empty loader for (a crash),
// and any loader that fails makes it free the object list twice. So the layout is checked here,
// on the bytes as the library will read them.
#include "app/datafile_shape.h"

#include <allegro.h>
#include <climits>
#include <cstdio>
#include <new>
#include <vector>

#include "app/datafile_file.h"
#include "app/datafile_objects.h"
#include "app/datafile_unpack.h"

namespace {

// The library loads a nested datafile by recursion, with over a kilobyte of stack a level
// (a file-name buffer in each chunk it opens); this stays far below what a stack holds.
constexpr int max_nesting = 64;
constexpr size_t smallest_object = 12; // type, file size and data size

char message[256];

const char* fail(const char* name, int object, const char* what)
{
    std::snprintf(message, sizeof message, "%s: object %d %s", name, object, what);
    return message;
}

const char* check_property(ByteReader& in)
{
    int32_t type = 0, size = 0;
    // The library allocates size + 1 bytes in an int.
    if (!in.get32(type) || !in.get32(size) || size < 0 || size == INT32_MAX ||
        !in.skip(size_t(size)))
        return "has a property that is cut short";
    // The library ends its list of an object's properties at the end marker's type, so such a
    // property is lost from the list and its memory is never freed.
    if (type == DAT_END)
        return "has a property whose type is the end marker";
    return nullptr;
}

const char* walk_objects(const char* name, ByteReader& in, int depth)
{
    int32_t count = 0;
    if (!in.get32(count)) {
        std::snprintf(message, sizeof message, "%s: ends before its object count", name);
        return message;
    }
    if (count < 0 || size_t(count) > in.left / smallest_object) {
        std::snprintf(message, sizeof message, "%s: claims %d objects, more than it can hold", name,
                      count);
        return message;
    }
    for (int i = 0; i < count; i++) {
        int32_t type = 0;
        for (;;) {
            if (!in.get32(type))
                return fail(name, i, "is cut short before its type");
            if (type != DAT_PROPERTY)
                break;
            if (const char* problem = check_property(in))
                return fail(name, i, problem);
        }
        if (type == DAT_END)
            return fail(name, i, "has the end marker as its type");
        int32_t file_size = 0, data_size = 0;
        if (!in.get32(file_size) || !in.get32(data_size))
            return fail(name, i, "is cut short before its size");
        PackedObject packed;
        ObjectBody body{in.at, size_t(data_size < 0 ? 0 : data_size)};
        if (data_size < 0) {
            // Packed on its own: its size is negated, and its unpacking decides where the next
            // object starts (the file size in the header plays no part in reading).
            if (data_size == INT32_MIN)
                return fail(name, i, "claims a packed size the library cannot negate");
            if (const char* problem =
                    unpack_object(in.at, in.left, size_t(-int64_t(data_size)), packed))
                return fail(name, i, problem);
            body = {packed.bytes.data(), packed.bytes.size(), !packed.ends_in_copy};
            in.skip(packed.used);
        } else if (!in.skip(size_t(data_size))) {
            return fail(name, i, "is cut short");
        }
        if (const char* problem = check_object_body(type, body))
            return fail(name, i, problem);
        if (type == DAT_FILE) {
            if (depth >= max_nesting)
                return fail(name, i, "nests datafiles too deeply");
            ByteReader inner{body.at, body.size};
            if (const char* problem = walk_objects(name, inner, depth + 1))
                return problem;
        }
    }
    return nullptr;
}

const char* with_name(const char* name, const char* problem)
{
    std::snprintf(message, sizeof message, "%s: %s", name, problem);
    return message;
}

} // namespace

const char* check_datafile_bytes(const char* name, const uint8_t* bytes, size_t size)
{
    ByteReader in{bytes, size};
    int32_t magic = 0;
    if (!in.get32(magic) || magic != DAT_MAGIC)
        return with_name(name, "is not a datafile of this library version");
    return walk_objects(name, in, 0);
}

const char* check_datafile_shape(const char* path)
{
    try {
        std::vector<uint8_t> file;
        if (const char* problem = read_datafile_file(path, file))
            return problem;
        std::vector<uint8_t> bytes;
        if (const char* problem = unpack_datafile(file, bytes))
            return with_name(path, problem);
        return check_datafile_bytes(path, bytes.data(), bytes.size());
    } catch (const std::bad_alloc&) {
        return with_name(path, "unpacks to more than this machine's memory holds");
    }
}
