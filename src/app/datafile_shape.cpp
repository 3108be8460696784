// The structural walk over a datafile. The library trusts a datafile's layout: a file cut short
// makes it read the end-of-file value as an object type, which it takes for the end marker and
// calls an empty loader for (a crash). So the layout is checked here, on the unpacked bytes.
#include "app/datafile_shape.h"

#include "app/datafile_objects.h"
#include "app/datafile_unpack.h"

#include <allegro.h>
#include <cstdio>
#include <vector>

namespace {

constexpr size_t read_block = 16 * 1024;
constexpr size_t max_unpacked_size = 64 * 1024 * 1024; // far beyond any datafile the game needs
constexpr size_t max_file_size = max_unpacked_size;
constexpr int max_nesting = 8;
constexpr size_t smallest_object = 12; // type, file size and data size

char message[256];

const char* fail(const char* name, int object, const char* what)
{
    std::snprintf(message, sizeof message, "%s: object %d %s", name, object, what);
    return message;
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
            int32_t property_type = 0, property_size = 0;
            if (!in.get32(property_type) || !in.get32(property_size) || property_size < 0 ||
                !in.skip(size_t(property_size)))
                return fail(name, i, "has a property that is cut short");
        }
        if (type == DAT_END)
            return fail(name, i, "has the end marker as its type");
        int32_t file_size = 0, data_size = 0;
        if (!in.get32(file_size) || !in.get32(data_size))
            return fail(name, i, "is cut short before its size");
        // A compressed object's own unpacking would decide where the next one starts; the
        // game's datafile is packed whole instead, so such objects are refused.
        if (data_size < 0)
            return fail(name, i, "is compressed on its own, which the game does not read");
        if (size_t(data_size) > in.left)
            return fail(name, i, "is cut short");
        if (const char* problem = check_object_body(type, in.at, size_t(data_size)))
            return fail(name, i, problem);
        if (type == DAT_FILE) {
            if (depth >= max_nesting)
                return fail(name, i, "nests datafiles too deeply");
            ByteReader inner{in.at, size_t(data_size)};
            if (const char* problem = walk_objects(name, inner, depth + 1))
                return problem;
        }
        in.skip(size_t(data_size));
    }
    return nullptr;
}

} // namespace

const char* check_datafile_bytes(const char* name, const uint8_t* bytes, size_t size)
{
    ByteReader in{bytes, size};
    int32_t magic = 0;
    if (!in.get32(magic) || magic != DAT_MAGIC) {
        std::snprintf(message, sizeof message, "%s: is not a datafile of this library version",
                      name);
        return message;
    }
    return walk_objects(name, in, 0);
}

const char* check_datafile_shape(const char* path)
{
    std::vector<uint8_t> file;
    if (std::FILE* in = std::fopen(path, "rb")) {
        uint8_t block[read_block];
        size_t got;
        while ((got = std::fread(block, 1, sizeof block, in)) > 0 && file.size() <= max_file_size)
            file.insert(file.end(), block, block + got);
        std::fclose(in);
    } else {
        std::snprintf(message, sizeof message, "%s: cannot be opened", path);
        return message;
    }
    std::vector<uint8_t> bytes;
    if (const char* problem = unpack_datafile(file, bytes, max_unpacked_size)) {
        std::snprintf(message, sizeof message, "%s: %s", path, problem);
        return message;
    }
    return check_datafile_bytes(path, bytes.data(), bytes.size());
}
