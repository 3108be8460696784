// The datafile check against the library's own reader and loader. The cases are the files of
// datafiles/, each with its verdict in datafiles/verdicts.txt. Whatever the check accepts is
// loaded, so the sanitizer build fails on any stray read, double free or leak it lets through.
#include <allegro.h>
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/datafile_shape.h"
#include "app/datafile_unpack.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string cases = SOURCE_DIR "/tests/app/datafiles/";

struct TempFile {
    std::string path = "/tmp/blockrise-app-XXXXXX";
    explicit TempFile(const Bytes& contents)
    {
        const int fd = mkstemp(path.data());
        EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
        close(fd);
    }
    ~TempFile() { unlink(path.c_str()); }
};

std::string text(const char* message) { return message ? message : "(accepted)"; }

// The types of the objects the library loads from `path`, as in the table ("BMP FONT ...").
std::string loaded_types(const std::string& path)
{
    DATAFILE* data = load_datafile(path.c_str());
    if (!data)
        return "(does not load)";
    std::string types;
    for (const DATAFILE* d = data; d->type != DAT_END; d++) {
        EXPECT_NE(d->dat, nullptr) << path;
        std::string id{char(d->type >> 24), char(d->type >> 16), char(d->type >> 8), char(d->type)};
        types += (types.empty() ? "" : " ") + id.erase(id.find_last_not_of(' ') + 1);
    }
    unload_datafile(data);
    return types;
}

// The check on bytes in memory, as check_datafile_shape reaches it from a file.
const char* verdict(const Bytes& file)
{
    Bytes bytes;
    const char* problem = unpack_datafile(file, bytes);
    return problem ? problem : check_datafile_bytes("copy", bytes.data(), bytes.size());
}

// The table's files, then the fuzz seeds (most made by the library's own tool) and the generated
// blocks.dat, which must load whatever their objects.
TEST(DatafileCheck, AcceptsWhatLoadsSaysWhereTheRestBreaksAndRefusesEveryCutOfWhatItAccepts)
{
    ASSERT_EQ(get_color_depth(), 16) << "pictures with alpha load at 32 bits or the screen's depth";
    std::vector<std::pair<std::string, std::string>> rows; // a file, and "! part of the message" or the types loaded
    std::ifstream table(cases + "verdicts.txt");
    for (std::string line, file, verdict; std::getline(table, line);) {
        std::istringstream fields(line.substr(0, line.find(" #")));
        if (fields >> file && file[0] != '#' && std::getline(fields >> std::ws, verdict))
            rows.emplace_back(cases + file, verdict.erase(verdict.find_last_not_of(' ') + 1));
    }
    ASSERT_GT(rows.size(), 60u);
    for (const auto& seed : std::filesystem::directory_iterator(SOURCE_DIR "/fuzz/corpus/datafile"))
        rows.emplace_back(seed.path(), "");
    rows.emplace_back(BLOCKS_DAT_PATH, "");
    std::mt19937 random(5);
    int changed_and_accepted = 0;
    for (const auto& [path, expected] : rows) {
        SCOPED_TRACE(path);
        const std::string said = text(check_datafile_shape(path.c_str()));
        if (expected[0] == '!') {
            EXPECT_EQ(said.rfind(path + ": ", 0), 0u) << said;
            EXPECT_NE(said.find(expected.substr(2)), std::string::npos) << said;
            continue;
        }
        ASSERT_EQ(said, "(accepted)");
        const std::string types = loaded_types(path);
        EXPECT_TRUE(expected.empty() ? types != "(does not load)" : types == expected) << types;
        std::ifstream in(path, std::ios::binary);
        const Bytes whole{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // Some 300 cuts spread over the file, and the cut of its last byte.
        const size_t step = whole.size() / 300 + 1;
        for (size_t size = 0; size < whole.size(); size = std::min(size + step, std::max(size + 1, whole.size() - 1)))
            EXPECT_NE(verdict(Bytes(whole.begin(), whole.begin() + long(size))), nullptr) << "cut to " << size;
        for (int round = 0; round < 40; round++) {
            Bytes file = whole;
            for (int changes = int(random() % 3) + 1; changes > 0; changes--)
                file[4 + random() % (file.size() - 4)] = uint8_t(random());
            if (verdict(file) != nullptr)
                continue;
            changed_and_accepted++;
            EXPECT_NE(loaded_types(TempFile(file).path), "(does not load)") << "changed in round " << round;
        }
    }
    EXPECT_GT(changed_and_accepted, 300);
}

// Objects packed on their own, read as the library reads them: every byte, whether it then
// reports the object's end, and where in the file it goes on.
TEST(DatafileUnpack, ReadsObjectsPackedOnTheirOwnAsTheLibraryDoesOnRandomStreams)
{
    std::mt19937 random(7);
    const auto random_bytes = [&](size_t n) { Bytes b(n); for (uint8_t& c : b) c = uint8_t(random()); return b; };
    int objects = 0;
    for (int round = 0; round < 300; round++) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const Bytes stream = random_bytes(random() % 300 + 1), tail = random_bytes(random() % 3);
        const size_t size = random() % 600 + 1;
        // The object's header (its stored size, then its size negated), the stream, the rest of the file.
        Bytes file;
        for (int32_t word : {int32_t(stream.size()), -int32_t(size)})
            for (int shift = 24; shift >= 0; shift -= 8)
                file.push_back(uint8_t(uint32_t(word) >> shift));
        file.insert(file.end(), stream.begin(), stream.end());
        file.insert(file.end(), tail.begin(), tail.end());
        PackedObject mine;
        const char* problem = unpack_object(file.data() + 8, file.size() - 8, size, mine);
        if (problem && std::string(problem).find("never wrote") != std::string::npos)
            continue; // the library would read leftover memory: nothing to compare
        const TempFile temp(file);
        PACKFILE* f = pack_fopen(temp.path.c_str(), F_READ);
        PACKFILE* chunk = f ? pack_fopen_chunk(f, FALSE) : nullptr;
        ASSERT_NE(chunk, nullptr) << "the library cannot open the object";
        Bytes theirs;
        for (int c; theirs.size() < size && (c = pack_getc(chunk)) != EOF;)
            theirs.push_back(uint8_t(c));
        const bool end_seen = pack_feof(chunk) != 0;
        pack_fclose_chunk(chunk);
        const int next = pack_getc(f);
        pack_fclose(f);
        if (problem) {
            EXPECT_LT(theirs.size(), size) << "the library reads the whole object";
            continue;
        }
        objects++;
        EXPECT_EQ(mine.bytes, theirs);
        EXPECT_EQ(!mine.ends_in_copy, end_seen);
        EXPECT_EQ(8 + mine.used < file.size() ? int(file[8 + mine.used]) : EOF, next);
    }
    EXPECT_GT(objects, 100);
}

TEST(DatafileCheck, AFileThatUnpacksToManyMegabytesPassesAndLoads)
{
    // One object of 65 MiB of zeros (past the 64 MiB an earlier check stopped at), packed whole:
    // its header as literals, then copies of 18 bytes from a window position only zeros reach.
    constexpr int32_t size = 65 << 20;
    Bytes file{'s', 'l', 'h', '!', 0xff, 'A', 'L', 'L', '.', 0, 0, 0, 1, 0xff, 'D', 'A', 'T', 'A', 4, 16, 0, 0, 0x0f, 4, 16, 0, 0};
    for (int copy = 0; copy <= size / 18; copy++) {
        if (copy % 8 == 4) // the header's 20 literals and 4 copies took the first three flag bytes
            file.push_back(0);
        file.insert(file.end(), {100, uint8_t(copy < size / 18 ? 18 - 3 : size % 18 - 3)});
    }
    const TempFile temp(file);
    ASSERT_EQ(text(check_datafile_shape(temp.path.c_str())), "(accepted)");
    DATAFILE* data = load_datafile(temp.path.c_str());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0].size, size);
    EXPECT_EQ(static_cast<const uint8_t*>(data[0].dat)[size - 1], 0);
    unload_datafile(data);
}

} // namespace
