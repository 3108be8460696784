// The checks that keep a broken datafile away from the library's loader: unpacking, the object
// list's shape, and each object's header against the bytes its loader reads.
#include <allegro.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/datafile_objects.h"
#include "app/datafile_shape.h"
#include "app/datafile_unpack.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, int v) { b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)}); }
void put32(Bytes& b, int32_t v) { put16(b, int(uint32_t(v) >> 16)), put16(b, int(v & 0xffff)); }

// Big-endian words followed by `zeros` zero bytes.
Bytes words(std::initializer_list<int32_t> ws, size_t zeros = 0)
{
    Bytes b;
    for (int32_t w : ws)
        put32(b, w);
    b.resize(b.size() + zeros);
    return b;
}

Bytes cut(Bytes b, size_t n = 1) { return b.resize(b.size() - n), b; }

std::string text(const char* message) { return message ? message : "(accepted)"; }

std::string temp_path(const Bytes& contents)
{
    char path[] = "/tmp/blockrise-app-XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
    close(fd);
    return path;
}

// ---- unpacking

constexpr size_t no_limit = 1 << 20;

Bytes packed(Bytes stream) { return stream.insert(stream.begin(), {'s', 'l', 'h', '!'}), stream; }

// What the library's own reader makes of a file.
Bytes library_unpack(const Bytes& file)
{
    const std::string path = temp_path(file);
    Bytes out;
    if (PACKFILE* f = pack_fopen(path.c_str(), F_READ_PACKED)) {
        for (int c; (c = pack_getc(f)) != EOF;)
            out.push_back(uint8_t(c));
        pack_fclose(f);
    }
    std::remove(path.c_str());
    return out;
}

TEST(DatafileUnpack, UnpacksPlainAndPackedFilesAndRefusesUntrustworthyOnes)
{
    const struct {
        Bytes file;
        size_t limit;
        bool accepted;
        Bytes out;
    } rows[] = {
        {{'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 1, 2}, no_limit, true, {'A', 'L', 'L', '.', 1, 2}},
        // Flags 0x05: literal, copy, literal; the 3-byte copy from position 0 reads the cleared window.
        {packed({0x05, 'x', 0x00, 0x00, 'y'}), no_limit, true, {'x', 0, 0, 0, 'y'}},
        // Position 4090 lies in the window's last 18 bytes, which the library never clears.
        {packed({0x00, 0xfa, 0xf0}), no_limit, false, {}},
        {{'A', 'L', 'L', '.', 0, 0}, no_limit, false, {}},
        {{'s', 'l'}, no_limit, false, {}},
        {packed({0xff, 1, 2, 3, 4, 5, 6, 7, 8}), 4, false, {}},
    };
    for (size_t i = 0; i < std::size(rows); i++) {
        Bytes out;
        const char* problem = unpack_datafile(rows[i].file, out, rows[i].limit);
        EXPECT_EQ(problem == nullptr, rows[i].accepted) << "row " << i << ": " << text(problem);
        EXPECT_EQ(rows[i].accepted ? out : Bytes{}, rows[i].out) << "row " << i;
    }
    EXPECT_EQ(library_unpack(rows[1].file), rows[1].out);
}

TEST(DatafileUnpack, AgreesWithTheLibraryOnRandomStreams)
{
    std::mt19937 random(7);
    int compared = 0;
    for (int round = 0; round < 300; round++) {
        Bytes stream(size_t(random() % 200 + 1));
        for (uint8_t& b : stream)
            b = uint8_t(random());
        Bytes out;
        if (unpack_datafile(packed(stream), out, no_limit) != nullptr)
            continue; // the library would read leftover memory here; nothing to compare
        ASSERT_EQ(out, library_unpack(packed(stream))) << "round " << round;
        compared++;
    }
    EXPECT_GT(compared, 50);
}

// ---- the object list

constexpr int32_t data_type = DAT_ID('D', 'A', 'T', 'A');

Bytes with(Bytes out, int32_t type, const Bytes& data, bool named = true)
{
    if (named) {
        put32(out, DAT_PROPERTY), put32(out, DAT_ID('N', 'A', 'M', 'E')), put32(out, 3);
        out.insert(out.end(), {'O', 'B', 'J'});
    }
    put32(out, type), put32(out, int32_t(data.size())), put32(out, int32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

const char* shape(const Bytes& b) { return check_datafile_bytes("blocks.dat", b.data(), b.size()); }

TEST(DatafileShape, AcceptsAWholeObjectListAndRefusesEveryCutOfIt)
{
    // Three objects, one unnamed and the last a nested datafile holding one object.
    const Bytes nested = with(words({1}), data_type, Bytes(5, 7));
    const Bytes whole = with(with(with(words({DAT_MAGIC, 3}), data_type, Bytes(10, 1)), data_type, {}, false),
                             DAT_FILE, nested);
    EXPECT_EQ(shape(whole), nullptr) << shape(whole);
    for (size_t size = 0; size < whole.size(); size++) {
        const std::string message = text(shape(Bytes(whole.begin(), whole.begin() + long(size))));
        EXPECT_EQ(message.rfind("blocks.dat: ", 0), 0u) << "cut to " << size << ": " << message;
    }
}

TEST(DatafileShape, SaysWhereABrokenListBreaks)
{
    const struct {
        Bytes file;
        const char* message; // "" for any refusal
    } rows[] = {
        {with(words({DAT_MAGIC, 1}), DAT_END, Bytes(4, 0)), "object 0 has the end marker"},
        {with(words({DAT_MAGIC, 0x7fffffff}), data_type, Bytes(4, 0)), "more than it can hold"},
        {words({DAT_MAGIC, -3}), ""},
        {words({DAT_MAGIC, 1, data_type, 1000, 1000}, 100), "object 0 is cut short"},
        {words({DAT_MAGIC, 1, DAT_PROPERTY, DAT_ID('N', 'A', 'M', 'E'), -1}, 40), "property"},
        // A nested datafile that announces two objects and holds one.
        {with(words({DAT_MAGIC, 1}), DAT_FILE, with(words({2}), data_type, Bytes(5, 7))), ""},
        {{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, "not a datafile"},
    };
    for (size_t i = 0; i < std::size(rows); i++) {
        const char* message = shape(rows[i].file);
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
        const std::string path = temp_path(Bytes(whole.begin(), whole.begin() + long(size)));
        EXPECT_NE(check_datafile_shape(path.c_str()), nullptr) << "a copy cut to " << size << " was accepted";
        std::remove(path.c_str());
    }
}

// ---- object headers

Bytes bitmap(int depth, int w, int h, size_t pixel_bytes)
{
    Bytes b;
    put16(b, depth), put16(b, w), put16(b, h);
    return b.resize(b.size() + pixel_bytes), b;
}

Bytes sample(int bits) // 10 samples of 16-bit mono need 20 bytes
{
    Bytes b;
    put16(b, bits), put16(b, 22050), put32(b, 10);
    return b.resize(b.size() + 20), b;
}

// The first track's bytes follow its length, before the next 31 tracks' (zero) lengths.
Bytes tune(int32_t first_track_length, size_t first_track_bytes)
{
    Bytes b;
    put16(b, 96), put32(b, first_track_length);
    return b.resize(b.size() + first_track_bytes + 31 * 4), b;
}

Bytes mono_font(int32_t begin, int32_t last, size_t glyph_bytes)
{
    Bytes b;
    put16(b, 0), put16(b, 1), b.push_back(1), put32(b, begin), put32(b, last);
    for (int32_t g = begin; g <= last && g - begin < 1000; g++)
        put16(b, 8), put16(b, 8), b.resize(b.size() + glyph_bytes);
    return b;
}

TEST(DatafileObjects, HeadersMustMatchTheBytesTheirLoadersRead)
{
    const struct {
        int32_t type;
        Bytes body;
        bool accepted;
    } rows[] = {
        {DAT_BITMAP, bitmap(16, 4, 3, 24), true},
        {DAT_BITMAP, bitmap(8, 4, 3, 12), true},
        {DAT_BITMAP, bitmap(0x10000 - 32, 2, 2, 16), true}, // 32-bit with alpha
        {DAT_BITMAP, bitmap(16, 4, 3, 23), false},
        {DAT_BITMAP, bitmap(29805, 4, 3, 1000), false},
        {DAT_BITMAP, bitmap(16, 0, 3, 0), false},
        {DAT_BITMAP, bitmap(16, 28719, 26028, 100), false},
        {DAT_BITMAP, Bytes{0, 16, 0}, false},
        {DAT_SAMPLE, sample(16), true},
        {DAT_SAMPLE, sample(-16), false}, // stereo needs twice the bytes
        {DAT_SAMPLE, sample(12), false},
        {DAT_MIDI, tune(3, 3), true},
        {DAT_MIDI, cut(tune(3, 3)), false},
        {DAT_MIDI, tune(-1, 0), false},
        {DAT_MIDI, tune(1 << 30, 10), false},
        {DAT_FONT, mono_font(32, 126, 8), true},
        {DAT_FONT, mono_font(32, 126, 7), false},
        {DAT_FONT, mono_font(32, 0x7fffffff, 8), false},
        {DAT_FONT, mono_font(126, 32, 8), false},
        {DAT_FONT, words({8 << 16}, 95 * 8 - 2), false}, // the old fixed-size layout
        {DAT_ID('i', 'n', 'f', 'o'), Bytes{1, 2, 3}, true}, // other types are plain bytes
        {DAT_DATA, Bytes{}, true},
    };
    for (size_t i = 0; i < std::size(rows); i++) {
        const char* problem = check_object_body(rows[i].type, rows[i].body.data(), rows[i].body.size());
        EXPECT_EQ(problem == nullptr, rows[i].accepted) << "row " << i << ": " << text(problem);
    }
}

} // namespace
