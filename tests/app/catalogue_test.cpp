// The datafile catalogue: what start-up accepts and the messages for what it refuses.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "app/assets.h"
#include "support/headless.h"

namespace {

TEST(Catalogue, AcceptsItsSeventeenObjectsAndNamesTheOneItRefuses)
{
    install_fake_game_data();
    MIDI midi{}; // the fake leaves the tunes empty; a real file always has them
    game_data[10].dat = game_data[11].dat = &midi;
    EXPECT_EQ(check_game_data(game_data), nullptr);
    BITMAP* small = create_bitmap(352, 31);
    const struct {
        int index, type;
        void* dat; // nullptr keeps the object's own
        const char* message;
    } rows[] = {{9, DAT_SAMPLE, nullptr, "blocks.dat: object 9 (large font) should be a font"},
                {12, DAT_END, nullptr, "has only 12 objects; object 12 (title sound) should be a sample"},
                {6, DAT_BITMAP, small, "object 6 (popup strip) is 352x31; it should be at least 384x32"},
                {1, DAT_BITMAP, small, "object 1 (block tile strip) is 352x31; it should be at least 192x32"}};
    for (const auto& row : rows) {
        const DATAFILE saved = game_data[row.index];
        game_data[row.index].type = row.type;
        game_data[row.index].dat = row.dat ? row.dat : saved.dat;
        const char* message = check_game_data(game_data);
        EXPECT_NE(std::string(message ? message : "").find(row.message), std::string::npos) << message;
        game_data[row.index] = saved;
    }
    destroy_bitmap(small);
    game_data[10].dat = game_data[11].dat = nullptr;
    remove_fake_game_data();
}

TEST(Catalogue, RefusesOddPathsWithWhatTheyAreAndNeverWaitsOnThem)
{
    namespace fs = std::filesystem;
    char folder[] = "/tmp/blockrise-paths-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder, fifo = dir + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mknod((dir + "/socket").c_str(), S_IFSOCK | 0600, 0), 0);
    fs::create_directory(dir + "/folder");
    fs::create_symlink("gone.dat", dir + "/dangling");
    fs::create_symlink("/dev/null", dir + "/device");
    const std::pair<std::string, const char*> rows[] = {
        {fifo, "is a named pipe (FIFO)"},
        {dir + "/folder", "is a directory"},
        {dir + "/dangling", "is a link to \"gone.dat\", which does not exist"},
        {dir + "/device", "is a device"},
        {dir + "/socket", "is a socket"},
        {dir + "/missing.dat", "not found"},
        {"no-such-file.dat", "not found in the working directory"},
    };
    for (const auto& [path, what] : rows) {
        std::atomic<bool> done{false};
        std::thread rescue([&] { // should the pipe be opened for reading, a late writer frees it
            for (int waited = 0; !done; waited++, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
                if (waited > 200)
                    close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        });
        const auto start = std::chrono::steady_clock::now();
        const char* message = load_game_data(path.c_str());
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << path << " kept the check waiting";
        done = true;
        rescue.join();
        const std::string said = message ? message : "(accepted)";
        EXPECT_EQ(said.rfind(path + ": ", 0), 0u) << said;
        EXPECT_NE(said.find(what), std::string::npos) << said;
        EXPECT_EQ(game_data, nullptr);
    }
    fs::remove_all(dir);
}

} // namespace
