// The structural walk that keeps a broken datafile away from the library's loader.
#include <allegro.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/datafile_shape.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& out, int32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(uint32_t(v) >> shift));
}

void put_object(Bytes& out, int32_t type, const Bytes& data, bool with_name = true)
{
    if (with_name) {
        const std::string name = "OBJ";
        put32(out, DAT_PROPERTY);
        put32(out, DAT_ID('N', 'A', 'M', 'E'));
        put32(out, int32_t(name.size()));
        out.insert(out.end(), name.begin(), name.end());
    }
    put32(out, type);
    put32(out, int32_t(data.size()));
    put32(out, int32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

// "ALL.", a count and three objects, the last a nested datafile holding one object.
Bytes well_formed()
{
    Bytes nested;
    put32(nested, 1);
    put_object(nested, DAT_ID('D', 'A', 'T', 'A'), Bytes(5, 7));
    Bytes out;
    put32(out, DAT_MAGIC);
    put32(out, 3);
    put_object(out, DAT_ID('D', 'A', 'T', 'A'), Bytes(10, 1));
    put_object(out, DAT_ID('D', 'A', 'T', 'A'), Bytes{}, false);
    put_object(out, DAT_FILE, nested);
    return out;
}

const char* check(const Bytes& b) { return check_datafile_bytes("blocks.dat", b.data(), b.size()); }

std::string text(const char* message) { return message ? message : "(accepted)"; }

TEST(DatafileShape, AcceptsAWholeObjectList)
{
    EXPECT_EQ(check(well_formed()), nullptr) << check(well_formed());
}

TEST(DatafileShape, RefusesEveryCutOfAWholeFile)
{
    const Bytes whole = well_formed();
    for (size_t size = 0; size < whole.size(); size++) {
        const Bytes cut(whole.begin(), whole.begin() + long(size));
        const char* message = check(cut);
        ASSERT_NE(message, nullptr) << "a file cut to " << size << " of " << whole.size()
                                    << " bytes was accepted";
        EXPECT_EQ(std::string(message).rfind("blocks.dat: ", 0), 0u) << message;
    }
}

TEST(DatafileShape, RefusesTheEndMarkerAsAType)
{
    Bytes b;
    put32(b, DAT_MAGIC);
    put32(b, 1);
    put_object(b, DAT_END, Bytes(4, 0));
    EXPECT_NE(text(check(b)).find("object 0 has the end marker"), std::string::npos) << text(check(b));
}

TEST(DatafileShape, RefusesACountLargerThanTheFileCanHold)
{
    Bytes b;
    put32(b, DAT_MAGIC);
    put32(b, 0x7fffffff);
    put_object(b, DAT_ID('D', 'A', 'T', 'A'), Bytes(4, 0));
    EXPECT_NE(text(check(b)).find("more than it can hold"), std::string::npos) << text(check(b));
    Bytes negative;
    put32(negative, DAT_MAGIC);
    put32(negative, -3);
    EXPECT_NE(check(negative), nullptr);
}

TEST(DatafileShape, RefusesSizesThatPointPastTheEnd)
{
    Bytes b;
    put32(b, DAT_MAGIC);
    put32(b, 1);
    put32(b, DAT_ID('D', 'A', 'T', 'A'));
    put32(b, 1000);
    put32(b, 1000);
    b.resize(b.size() + 100);
    EXPECT_NE(text(check(b)).find("object 0 is cut short"), std::string::npos) << text(check(b));

    Bytes property;
    put32(property, DAT_MAGIC);
    put32(property, 1);
    put32(property, DAT_PROPERTY);
    put32(property, DAT_ID('N', 'A', 'M', 'E'));
    put32(property, -1);
    property.resize(property.size() + 40);
    EXPECT_NE(text(check(property)).find("property"), std::string::npos) << text(check(property));
}

TEST(DatafileShape, LooksInsideNestedDatafiles)
{
    Bytes nested;
    put32(nested, 2); // announces two objects, holds one
    put_object(nested, DAT_ID('D', 'A', 'T', 'A'), Bytes(5, 7));
    Bytes b;
    put32(b, DAT_MAGIC);
    put32(b, 1);
    put_object(b, DAT_FILE, nested);
    EXPECT_NE(check(b), nullptr);
}

TEST(DatafileShape, RefusesWhatIsNotADatafile)
{
    const Bytes words = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'};
    EXPECT_NE(text(check(words)).find("not a datafile"), std::string::npos);
    EXPECT_NE(check_datafile_shape(SOURCE_DIR "/CMakeLists.txt"), nullptr);
}

TEST(DatafileShape, TheGeneratedFileIsWholeAndEveryCutOfItIsRefused)
{
    std::FILE* probe = std::fopen(BLOCKS_DAT_PATH, "rb");
    if (!probe)
        GTEST_SKIP() << "no generated datafile at " << BLOCKS_DAT_PATH;
    std::fclose(probe);
    ASSERT_EQ(check_datafile_shape(BLOCKS_DAT_PATH), nullptr) << check_datafile_shape(BLOCKS_DAT_PATH);

    std::FILE* in = std::fopen(BLOCKS_DAT_PATH, "rb");
    Bytes whole;
    for (int c; (c = std::fgetc(in)) != EOF;)
        whole.push_back(uint8_t(c));
    std::fclose(in);
    char path[] = "/tmp/blockrise-shape-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    constexpr int cuts = 16;
    for (int k = 0; k <= cuts; k++) {
        const size_t size = k < cuts ? whole.size() * size_t(k) / cuts : whole.size() - 1;
        std::FILE* out = std::fopen(path, "wb");
        std::fwrite(whole.data(), 1, size, out);
        std::fclose(out);
        EXPECT_NE(check_datafile_shape(path), nullptr)
            << "a copy cut to " << size << " of " << whole.size() << " bytes was accepted";
    }
    std::remove(path);
}

} // namespace
