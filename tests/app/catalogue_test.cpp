// The datafile catalogue: what start-up accepts and the messages for what it refuses.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "app/assets.h"
#include "support/headless.h"

namespace {

struct FakeData : testing::Test {
    // The fake leaves the tunes empty; a real file always has them.
    void SetUp() override { install_fake_game_data(), game_data[10].dat = game_data[11].dat = &midi; }
    void TearDown() override { game_data[10].dat = game_data[11].dat = nullptr, remove_fake_game_data(); }
    MIDI midi{};
};

TEST_F(FakeData, AcceptsTheCatalogueAndNamesTheObjectItRefuses)
{
    EXPECT_EQ(check_game_data(game_data), nullptr);
    BITMAP* narrow = create_bitmap(352, 32);
    const struct {
        int index, type;
        void* dat; // nullptr keeps the object's own
        const char* message;
    } rows[] = {{9, DAT_SAMPLE, nullptr, "object 9 (large font) should be a font"},
                {12, DAT_END, nullptr, "has only 12 objects"},
                {6, DAT_BITMAP, narrow, "object 6 (popup strip) is 352x32"}};
    for (const auto& row : rows) {
        const DATAFILE saved = game_data[row.index];
        game_data[row.index].type = row.type;
        if (row.dat)
            game_data[row.index].dat = row.dat;
        const char* message = check_game_data(game_data);
        EXPECT_NE(std::string(message ? message : "").find(row.message), std::string::npos)
            << row.message << " / " << (message ? message : "(accepted)");
        game_data[row.index] = saved;
    }
    destroy_bitmap(narrow);
}

// A folder holding every kind of path that is not a datafile.
struct OddPaths : testing::Test {
    std::string dir;
    void SetUp() override
    {
        char name[] = "/tmp/blockrise-paths-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
        ASSERT_EQ(mkdir((dir + "/folder").c_str(), 0700), 0);
        ASSERT_EQ(symlink("gone.dat", (dir + "/dangling").c_str()), 0);
        ASSERT_EQ(symlink("/dev/null", (dir + "/device").c_str()), 0);
        socket_fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s/socket", dir.c_str());
        ASSERT_EQ(bind(socket_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }
    void TearDown() override
    {
        close(socket_fd);
        for (const char* name : {"fifo", "folder", "dangling", "device", "socket"})
            std::remove((dir + "/" + name).c_str());
        rmdir(dir.c_str());
    }
    int socket_fd = -1;
};

TEST_F(OddPaths, AreRefusedWithWhatTheyAreAndNeverWaitedOn)
{
    const std::chrono::duration<double> patience(2.0); // seconds
    const struct {
        std::string path;
        const char* message;
    } rows[] = {
        {dir + "/fifo", "is a named pipe (FIFO)"},
        {dir + "/folder", "is a directory"},
        {dir + "/dangling", "is a link to \"gone.dat\", which does not exist"},
        {dir + "/device", "is a device"},
        {dir + "/socket", "is a socket"},
        {dir + "/missing.dat", "not found"},
        {"no-such-file.dat", "not found in the working directory"},
    };
    for (const auto& row : rows) {
        // Should the pipe be opened for reading, a writer arriving late sets it free again.
        std::atomic<bool> done{false};
        std::thread rescue([&] {
            for (auto until = std::chrono::steady_clock::now() + patience; !done;) {
                if (std::chrono::steady_clock::now() > until) {
                    const int writer = open((dir + "/fifo").c_str(), O_WRONLY | O_NONBLOCK);
                    if (writer >= 0)
                        close(writer);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        const auto start = std::chrono::steady_clock::now();
        const char* message = load_game_data(row.path.c_str());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        done = true;
        rescue.join();
        const std::string said = message ? message : "(accepted)";
        EXPECT_EQ(said.rfind(row.path + ": ", 0), 0u) << said;
        EXPECT_NE(said.find(row.message), std::string::npos) << said;
        EXPECT_LT(took.count(), patience.count()) << row.path << " kept the check waiting";
        EXPECT_EQ(game_data, nullptr);
    }
}

} // namespace
