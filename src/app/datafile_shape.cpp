// The structural walk over a datafile. The library trusts a datafile's layout: a file cut short
// makes it read the end-of-file value as an object type, which it takes for the end marker and
// calls an empty loader for (a crash). So the layout is checked here, on the unpacked bytes.
#include "app/datafile_shape.h"

#include <allegro.h>
#include <cstdio>
#include <vector>

namespace {

constexpr size_t read_block = 64 * 1024;
constexpr size_t max_unpacked_size = 64 * 1024 * 1024; // far beyond any datafile the game needs
constexpr int max_nesting = 8;
constexpr size_t smallest_object = 12; // type, file size and data size

char message[256];

struct Reader {
    const uint8_t* at;
    size_t left;

    bool get32(int32_t& value)
    {
        if (left < 4)
            return false;
        value = static_cast<int32_t>((uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) |
                                     (uint32_t(at[2]) << 8) | uint32_t(at[3]));
        at += 4;
        left -= 4;
        return true;
    }
    bool skip(int32_t count)
    {
        if (count < 0 || size_t(count) > left)
            return false;
        at += count;
        left -= size_t(count);
        return true;
    }
};

const char* fail(const char* name, int object, const char* what)
{
    std::snprintf(message, sizeof message, "%s: object %d %s", name, object, what);
    return message;
}

const char* walk_objects(const char* name, Reader& in, int depth)
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
            if (!in.get32(property_type) || !in.get32(property_size) || !in.skip(property_size))
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
        if (type == DAT_FILE) {
            if (depth >= max_nesting)
                return fail(name, i, "nests datafiles too deeply");
            Reader inner{in.at, size_t(data_size)};
            if (const char* problem = walk_objects(name, inner, depth + 1))
                return problem;
        }
        in.skip(data_size);
    }
    return nullptr;
}

} // namespace

const char* check_datafile_bytes(const char* name, const uint8_t* bytes, size_t size)
{
    Reader in{bytes, size};
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
    PACKFILE* file = pack_fopen(path, F_READ_PACKED);
    if (!file) {
        std::snprintf(message, sizeof message, "%s: cannot be read as a datafile", path);
        return message;
    }
    std::vector<uint8_t> bytes;
    for (;;) {
        const size_t old_size = bytes.size();
        bytes.resize(old_size + read_block);
        const long got = pack_fread(bytes.data() + old_size, read_block, file);
        bytes.resize(old_size + size_t(got > 0 ? got : 0));
        if (got < long(read_block) || bytes.size() > max_unpacked_size)
            break;
    }
    pack_fclose(file);
    if (bytes.size() > max_unpacked_size) {
        std::snprintf(message, sizeof message, "%s: unpacks to more than %zu bytes", path,
                      max_unpacked_size);
        return message;
    }
    return check_datafile_bytes(path, bytes.data(), bytes.size());
}
