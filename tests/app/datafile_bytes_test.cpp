// Unpacking and the object list's shape, checked against the library's own reader.
// Whole files and objects packed on their own unpack as the library reads them; a broken list
// is refused with where it breaks; the generated file and every fuzz seed pass and load.
#include <allegro.h>
#include <dirent.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/datafile_objects.h"
#include "app/datafile_shape.h"
#include "app/datafile_unpack.h"
#include "datafile_builder.h"

namespace {

// ---- unpacking a whole file

Bytes packed(Bytes stream) { return stream.insert(stream.begin(), {'s', 'l', 'h', '!'}), stream; }

// What the library's own reader makes of a file.
Bytes library_unpack(const Bytes& file)
{
    const TempFile temp(file);
    Bytes out;
    if (PACKFILE* f = pack_fopen(temp.path.c_str(), F_READ_PACKED)) {
        for (int c; (c = pack_getc(f)) != EOF;)
            out.push_back(uint8_t(c));
        pack_fclose(f);
    }
    return out;
}

TEST(DatafileUnpack, UnpacksPlainAndPackedFilesAndRefusesUntrustworthyOnes)
{
    const struct {
        Bytes file;
        bool accepted;
        Bytes out;
    } rows[] = {
        {{'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 1, 2}, true, {'A', 'L', 'L', '.', 1, 2}},
        // Flags 0x05: literal, copy, literal; the 3-byte copy from position 0 reads the cleared window.
        {packed({0x05, 'x', 0x00, 0x00, 'y'}), true, {'x', 0, 0, 0, 'y'}},
        // Position 4090 lies in the window's last 18 bytes, which the library never clears.
        {packed({0x00, 0xfa, 0xf0}), false, {}},
        {{'A', 'L', 'L', '.', 0, 0}, false, {}},
        {{'s', 'l'}, false, {}},
    };
    for (size_t i = 0; i < std::size(rows); i++) {
        Bytes out;
        const char* problem = unpack_datafile(rows[i].file, out);
        EXPECT_EQ(problem == nullptr, rows[i].accepted) << "row " << i << ": " << text(problem);
        EXPECT_EQ(rows[i].accepted ? out : Bytes{}, rows[i].out) << "row " << i;
    }
    EXPECT_EQ(library_unpack(rows[1].file), rows[1].out);
}

Bytes random_bytes(std::mt19937& random, size_t size)
{
    Bytes b(size);
    for (uint8_t& c : b)
        c = uint8_t(random());
    return b;
}

TEST(DatafileUnpack, AgreesWithTheLibraryOnRandomStreams)
{
    std::mt19937 random(7);
    int compared = 0;
    for (int round = 0; round < 300; round++) {
        const Bytes stream = random_bytes(random, random() % 200 + 1);
        Bytes out;
        if (unpack_datafile(packed(stream), out) != nullptr)
            continue; // the library would read leftover memory here; nothing to compare
        ASSERT_EQ(out, library_unpack(packed(stream))) << "round " << round;
        compared++;
    }
    EXPECT_GT(compared, 50);
}

// ---- unpacking an object packed on its own

// What the library reads from an object packed on its own at the start of a file (its header,
// `stream`, then `tail`): its bytes up to `size`, whether it then reports the object's end, and
// the file's next byte after the object.
struct LibraryObject {
    Bytes bytes;
    bool end_seen = false;
    int next = EOF;
};

LibraryObject library_object(const Bytes& stream, const Bytes& tail, size_t size)
{
    Bytes file = words({int32_t(stream.size()), -int32_t(size)});
    file.insert(file.end(), stream.begin(), stream.end());
    file.insert(file.end(), tail.begin(), tail.end());
    const TempFile temp(file);
    LibraryObject seen;
    PACKFILE* f = pack_fopen(temp.path.c_str(), F_READ);
    PACKFILE* chunk = f ? pack_fopen_chunk(f, FALSE) : nullptr;
    if (!chunk) {
        ADD_FAILURE() << "the library cannot open the object";
        return seen;
    }
    for (int c; seen.bytes.size() < size && (c = pack_getc(chunk)) != EOF;)
        seen.bytes.push_back(uint8_t(c));
    seen.end_seen = pack_feof(chunk) != 0;
    pack_fclose_chunk(chunk);
    seen.next = pack_getc(f);
    pack_fclose(f);
    return seen;
}

// unpack_object's verdict on an object, after checking it against the library's reader.
const char* as_the_library_reads(const Bytes& stream, const Bytes& tail, size_t size)
{
    Bytes file_part = stream;
    file_part.insert(file_part.end(), tail.begin(), tail.end());
    PackedObject mine;
    const char* problem = unpack_object(file_part.data(), file_part.size(), size, mine);
    if (problem && std::string(problem).find("never wrote") != std::string::npos)
        return problem; // the library would read its uninitialised window: nothing to compare
    const LibraryObject theirs = library_object(stream, tail, size);
    if (problem) {
        EXPECT_LT(theirs.bytes.size(), size) << "the library reads the whole object";
        return problem;
    }
    EXPECT_EQ(mine.bytes, theirs.bytes);
    EXPECT_EQ(!mine.ends_in_copy, theirs.end_seen);
    EXPECT_EQ(mine.used < file_part.size() ? int(file_part[mine.used]) : EOF, theirs.next);
    return nullptr;
}

// Literals, then a copy of `length` bytes from window position `from`.
Bytes literals_then_copy(size_t literals, int from, int length)
{
    Bytes s;
    for (size_t i = 0; i < literals; i++) {
        if (i % 8 == 0)
            s.push_back(i + 8 <= literals ? 0xff : uint8_t((1u << (literals - i)) - 1));
        s.push_back(uint8_t('a' + i % 26));
    }
    if (literals % 8 == 0)
        s.push_back(0x00);
    return put8(put8(s, from & 0xff), ((from >> 4) & 0xf0) | (length - 3));
}

TEST(DatafileUnpack, ObjectsPackedOnTheirOwnReadAsTheLibraryReadsThem)
{
    constexpr int first_written = 4096 - 18; // where the library's window starts writing
    const Bytes more = {0xa1, 0xa2, 0xa3, 0xa4}; // the rest of the file
    const struct {
        Bytes stream, tail;
        size_t size;
        const char* message; // nullptr: accepted
    } rows[] = {
        {literal_stream({'a', 'b', 'c'}), {}, 3, nullptr},
        {literal_stream(Bytes(20, 'q')), more, 20, nullptr},
        // 'a' then a copy of itself, overlapping as it goes: "aaaa", ending inside the copy.
        {literals_then_copy(1, first_written, 3), more, 4, nullptr},
        // The copy runs on past the object's size; the rest is not read.
        {literals_then_copy(1, first_written, 10), more, 3, nullptr},
        {literal_stream({'a', 'b', 'c'}), {}, 4, "cut short"},
        {literals_then_copy(0, 4090, 3), more, 3, "never wrote"},
        // The library's first refill of 4096 bytes takes the file's last byte in the middle of
        // a copy; the next refill still hands out the rest of it.
        {literals_then_copy(4095, 0, 3), {}, 4097, nullptr},
        {literals_then_copy(4095, 0, 3), more, 4098, nullptr},
        {literals_then_copy(4095, 0, 3), {}, 4099, "cut short"},
    };
    for (size_t i = 0; i < std::size(rows); i++) {
        SCOPED_TRACE(testing::Message() << "row " << i);
        const char* problem = as_the_library_reads(rows[i].stream, rows[i].tail, rows[i].size);
        if (rows[i].message)
            EXPECT_NE(text(problem).find(rows[i].message), std::string::npos) << text(problem);
        else
            EXPECT_EQ(problem, nullptr) << problem;
    }
}

TEST(DatafileUnpack, ObjectsPackedOnTheirOwnAgreeWithTheLibraryOnRandomStreams)
{
    std::mt19937 random(11);
    int accepted = 0;
    for (int round = 0; round < 300; round++) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const Bytes stream = random_bytes(random, random() % 300 + 1);
        const Bytes tail = random_bytes(random, random() % 3);
        const size_t size = random() % 600 + 1;
        accepted += as_the_library_reads(stream, tail, size) == nullptr;
    }
    EXPECT_GT(accepted, 30);
}

// ---- the object list

const char* shape(const Bytes& file)
{
    // Without the "slh." magic: the walk starts at "ALL.".
    return check_datafile_bytes("blocks.dat", file.data() + 4, file.size() - 4);
}

TEST(DatafileShape, AcceptsAWholeObjectListAndRefusesEveryCutOfIt)
{
    // A plain object, an empty one, one packed on its own, and a nested datafile holding a
    // plain and a packed object.
    const Bytes nested = object_list({{data_type, Bytes(5, 7)}, {data_type, Bytes(9, 3), true}});
    const Bytes whole = datafile({{data_type, Bytes(10, 1)}, {data_type, {}},
                                  {data_type, Bytes(12, 2), true}, {DAT_FILE, nested}});
    EXPECT_EQ(shape(whole), nullptr) << shape(whole);
    for (size_t size = 4; size < whole.size(); size++) {
        const std::string message = text(shape(Bytes(whole.begin(), whole.begin() + long(size))));
        EXPECT_EQ(message.rfind("blocks.dat: ", 0), 0u) << "cut to " << size << ": " << message;
    }
}

// `depth` datafiles, each nested in the one before.
Bytes nested_datafiles(int depth)
{
    Bytes inner = object_list({{data_type, {1}}});
    for (int d = 1; d < depth; d++)
        inner = object_list({{DAT_FILE, inner}});
    return datafile({{DAT_FILE, inner}});
}

TEST(DatafileShape, SaysWhereABrokenListBreaks)
{
    const struct {
        Bytes file;
        const char* message; // "" for any refusal, nullptr for acceptance
    } rows[] = {
        {datafile({{DAT_END, Bytes(4, 0)}}), "object 0 has the end marker"},
        {cut(datafile({{data_type, Bytes(4, 0)}}), 4), "object 0 is cut short"},
        {words({0, DAT_MAGIC, 0x7fffffff}), "more than it can hold"},
        {words({0, DAT_MAGIC, -3}), ""},
        {words({0, DAT_MAGIC, 1, data_type, 1000, 1000}, 100), "object 0 is cut short"},
        {words({0, DAT_MAGIC, 1, DAT_PROPERTY, DAT_ID('N', 'A', 'M', 'E'), -1}, 40), "property"},
        {words({0, DAT_MAGIC, 1, DAT_PROPERTY, DAT_END, 4, 0, data_type, 0, 0}),
         "property whose type is the end marker"},
        {words({0, DAT_MAGIC, 1, data_type, 4, INT32_MIN}, 8), "cannot negate"},
        // A nested datafile that announces two objects and holds one.
        {datafile({{DAT_FILE, cut(object_list({{data_type, Bytes(5, 7)}, {data_type, {}}}), 27)}}), ""},
        {nested_datafiles(64), nullptr},
        {nested_datafiles(65), "nests datafiles too deeply"},
        {{0, 0, 0, 0, 'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, "not a datafile"},
    };
    for (size_t i = 0; i < std::size(rows); i++) {
        const char* message = shape(rows[i].file);
        if (!rows[i].message)
            EXPECT_EQ(message, nullptr) << "row " << i << ": " << message;
        else
            EXPECT_TRUE(message && std::string(message).find(rows[i].message) != std::string::npos)
                << "row " << i << ": " << text(message);
    }
    EXPECT_NE(check_datafile_shape(SOURCE_DIR "/CMakeLists.txt"), nullptr);
}

TEST(DatafileShape, TheGeneratedFileIsWholeAndEveryCutOfItIsRefused)
{
    std::ifstream in(BLOCKS_DAT_PATH, std::ios::binary);
    if (!in)
        GTEST_SKIP() << "no generated datafile at " << BLOCKS_DAT_PATH;
    ASSERT_EQ(check_datafile_shape(BLOCKS_DAT_PATH), nullptr) << check_datafile_shape(BLOCKS_DAT_PATH);
    const Bytes whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    constexpr size_t cuts = 16;
    for (size_t k = 0; k <= cuts; k++) {
        const size_t size = k < cuts ? whole.size() * k / cuts : whole.size() - 1;
        const TempFile temp(Bytes(whole.begin(), whole.begin() + long(size)));
        EXPECT_NE(check_datafile_shape(temp.path.c_str()), nullptr) << "a copy cut to " << size << " was accepted";
    }
}

TEST(DatafileShape, AFileThatUnpacksToManyMegabytesPassesAndLoads)
{
    constexpr int32_t size = 65 << 20; // past the 64 MiB an earlier check stopped at
    constexpr int zeros_at = 100;      // a window position that only ever holds zeros here
    constexpr int longest = 18;
    static_assert(size % longest >= 3, "the last copy needs at least the shortest length");
    // One object of zeros, packed whole: the header as literals, then copies of 18 zeros.
    const Bytes header = words({DAT_MAGIC, 1, data_type, size, size});
    std::vector<int> copies(size_t(size / longest), longest);
    copies.push_back(size % longest);
    Bytes file{'s', 'l', 'h', '!'};
    const size_t ops = header.size() + copies.size();
    for (size_t op = 0; op < ops; op++) {
        if (op % 8 == 0) {
            uint8_t flags = 0;
            for (size_t bit = 0; bit < 8 && op + bit < header.size(); bit++)
                flags |= uint8_t(1u << bit);
            file.push_back(flags);
        }
        if (op < header.size())
            file.push_back(header[op]);
        else
            put8(put8(file, zeros_at), copies[op - header.size()] - 3);
    }
    const TempFile temp(file);
    ASSERT_EQ(check_datafile_shape(temp.path.c_str()), nullptr) << check_datafile_shape(temp.path.c_str());
    DATAFILE* data = load_datafile(temp.path.c_str());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0].size, size);
    EXPECT_EQ(static_cast<const uint8_t*>(data[0].dat)[size - 1], 0);
    unload_datafile(data);
}

// Seeds are datafiles the fuzzer starts from; the library's own tool made most of them.
TEST(DatafileShape, EveryFuzzSeedPassesTheCheckAndLoads)
{
    const std::string folder = SOURCE_DIR "/fuzz/corpus/datafile";
    DIR* dir = opendir(folder.c_str());
    ASSERT_NE(dir, nullptr) << folder;
    int seeds = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string path = folder + "/" + entry->d_name;
        EXPECT_EQ(check_datafile_shape(path.c_str()), nullptr) << check_datafile_shape(path.c_str());
        DATAFILE* data = load_datafile(path.c_str());
        EXPECT_NE(data, nullptr) << path;
        unload_datafile(data);
        seeds++;
    }
    closedir(dir);
    EXPECT_GT(seeds, 0);
}

} // namespace
