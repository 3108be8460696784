// Unpacking the library's packed files exactly as the library does, and refusing streams it would
// fill from leftover memory.
#include <allegro.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <random>
#include <unistd.h>
#include <vector>

#include "app/datafile_unpack.h"

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t no_limit = 1 << 20;

Bytes packed(const Bytes& stream)
{
    Bytes file = {'s', 'l', 'h', '!'};
    for (uint8_t b : stream)
        file.push_back(b);
    return file;
}

// What the library's own reader makes of a file.
Bytes library_unpack(const Bytes& file)
{
    char path[] = "/tmp/blockrise-unpack-XXXXXX";
    const int fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, file.data(), file.size()), ssize_t(file.size()));
    close(fd);
    Bytes out;
    if (PACKFILE* f = pack_fopen(path, F_READ_PACKED)) {
        for (int c; (c = pack_getc(f)) != EOF;)
            out.push_back(uint8_t(c));
        pack_fclose(f);
    }
    std::remove(path);
    return out;
}

TEST(DatafileUnpack, PlainFilesPassThrough)
{
    const Bytes file = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 1, 2};
    Bytes out;
    ASSERT_EQ(unpack_datafile(file, out, no_limit), nullptr);
    EXPECT_EQ(out, Bytes(file.begin() + 4, file.end()));
}

TEST(DatafileUnpack, LiteralsAndCopiesFromTheClearedWindow)
{
    // Flags 0x05: literal, copy, literal. The copy of 3 bytes from position 0 reads zeros.
    const Bytes stream = {0x05, 'x', 0x00, 0x00, 'y'};
    Bytes out;
    ASSERT_EQ(unpack_datafile(packed(stream), out, no_limit), nullptr);
    EXPECT_EQ(out, (Bytes{'x', 0, 0, 0, 'y'}));
    EXPECT_EQ(out, library_unpack(packed(stream)));
}

TEST(DatafileUnpack, RefusesCopiesFromTheUninitialisedEndOfTheWindow)
{
    // Position 4090 lies in the window's last 18 bytes, which the library never clears.
    const Bytes stream = {0x00, 0xfa, 0xf0};
    Bytes out;
    EXPECT_NE(unpack_datafile(packed(stream), out, no_limit), nullptr);
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

TEST(DatafileUnpack, RefusesOtherMagicAndOversizedOutput)
{
    Bytes out;
    EXPECT_NE(unpack_datafile(Bytes{'A', 'L', 'L', '.', 0, 0}, out, no_limit), nullptr);
    EXPECT_NE(unpack_datafile(Bytes{'s', 'l'}, out, no_limit), nullptr);
    const Bytes stream = {0xff, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_NE(unpack_datafile(packed(stream), out, 4), nullptr);
}

} // namespace
