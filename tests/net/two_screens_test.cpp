// Two real programs on two X servers of their own, one hosting and one joining over
// 127.0.0.1, keys typed into each through XTest: when the game ends, both screens show the
// same wells, scores and words, each player enters a name into their own table, and both
// return to their own menu and quit cleanly.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "harness/e2e.h"
#include "replay/replay_text.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* xvfb_path = "/usr/bin/Xvfb";
constexpr int first_display = 140, last_display = 199;
constexpr int step_timeout_ms = 30000, poll_ms = 100, stop_wait_ms = 3000;
constexpr int key_attempts = 10, key_retry_ms = 1000, guest_raise_ms = 1200;
constexpr int still_grabs = 4; // the overlay is the one still picture of a game
constexpr Rect whole_screen{0, 0, 640, 480};
constexpr Rect game_area{56, 0, 528, 440}; // the wells and their panels, the scores, the clock
constexpr Rect well_words[2] = {{64, 220, 192, 40}, {384, 220, 192, 40}};
constexpr int word_ink_min = 40;
const char* const player_names[2] = {"host", "guest"};

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool running(pid_t pid, int* status = nullptr)
{
    int got = 0;
    const bool ended = pid <= 0 || waitpid(pid, &got, WNOHANG) == pid;
    if (ended && status)
        *status = got;
    return !ended;
}

// Asked first, so that an X server removes its lock file; made to if it will not go.
void stop(pid_t& pid)
{
    if (pid > 0 && running(pid)) {
        kill(pid, SIGTERM);
        for (int waited = 0; waited < stop_wait_ms && running(pid); waited += poll_ms)
            pause_ms(poll_ms);
        if (running(pid) && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

uint16_t free_udp_port()
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    const bool got = bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                     getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    close(fd);
    return got ? ntohs(address.sin_port) : 0;
}

// One player's machine: an X server, the program in a folder of its own, and the keys.
struct Machine {
    int display = 0;
    pid_t xvfb = -1, game = -1;
    std::string dir;
    std::unique_ptr<XScreen> x;
    int exit_status = -1;

    std::string name() const { return ":" + std::to_string(display); }
    std::string file(const std::string& f) const { return read_text_file(dir + "/" + f); }

    // `env` over the inherited environment, output into the folder.
    pid_t spawn(std::vector<std::string> args, std::vector<std::string> env) const
    {
        for (char** e = environ; *e; e++)
            if (std::none_of(env.begin(), env.end(), [&](const std::string& own) {
                    return std::strncmp(*e, own.c_str(), own.find('=') + 1) == 0;
                }))
                env.emplace_back(*e);
        const pid_t pid = fork();
        if (pid == 0) {
            std::vector<char*> argv, envp;
            for (std::string& a : args)
                argv.push_back(a.data());
            for (std::string& e : env)
                envp.push_back(e.data());
            argv.push_back(nullptr);
            envp.push_back(nullptr);
            const int out = open((dir + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open((dir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out >= 0 && err >= 0 && dup2(out, 1) >= 0 && dup2(err, 2) >= 0 && chdir(dir.c_str()) == 0)
                execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        return pid;
    }

    bool start_x(int from)
    {
        for (display = from; display <= last_display; display++) {
            if (fs::exists("/tmp/.X" + std::to_string(display) + "-lock"))
                continue;
            xvfb = spawn({xvfb_path, name(), "-screen", "0", "640x480x24", "-nolisten", "tcp"}, {});
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
            for (int waited = 0; waited < stop_wait_ms && running(xvfb) && !fs::exists(socket); waited += poll_ms)
                pause_ms(poll_ms);
            if (running(xvfb) && fs::exists(socket)) {
                setenv("DISPLAY", name().c_str(), 1);
                x = std::make_unique<XScreen>();
                return x->connected();
            }
            stop(xvfb);
        }
        return false;
    }

    void launch(const std::vector<std::string>& options)
    {
        fs::copy_file(BLOCKS_DAT_PATH, dir + "/blocks.dat");
        std::ofstream(dir + "/blockrise.cfg") << "[game]\nlow_power = yes\n";
        std::vector<std::string> args = {BLOCKRISE_BINARY};
        args.insert(args.end(), options.begin(), options.end());
        game = spawn(args, {"DISPLAY=" + name(), "HOME=" + dir,
                            BLOCKRISE_SANITIZED ? "LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS : "LSAN_OPTIONS="});
    }

    bool alive()
    {
        int status = 0;
        if (game > 0 && !running(game, &status)) {
            exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            game = -1;
        }
        return game > 0;
    }

    testing::AssertionResult wait_for(const std::function<bool(const Frame&)>& shown, const char* what)
    {
        for (int waited = 0; waited < step_timeout_ms; waited += poll_ms, pause_ms(poll_ms)) {
            if (!alive())
                return testing::AssertionFailure() << name() << " ended waiting for " << what << ": " << file("stderr.txt");
            if (const Frame f = x->grab(); !f.pixels.empty() && shown(f))
                return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << name() << " never showed " << what;
    }

    // A screen reads one key at a time and forgets keys typed before it asked: a key is tapped,
    // again if need be, until the screen answers it.
    testing::AssertionResult press_until(const std::string& key, const std::function<bool(const Frame&)>& done)
    {
        for (int attempt = 0; attempt < key_attempts; attempt++) {
            x->tap(key);
            for (int waited = 0; waited < key_retry_ms; waited += poll_ms) {
                pause_ms(poll_ms);
                if (!alive() || done(x->grab()))
                    return testing::AssertionSuccess();
            }
        }
        return testing::AssertionFailure() << name() << ": " << key << " was never answered";
    }
    testing::AssertionResult type(const std::string& key)
    {
        const Frame before = x->grab();
        return press_until(key, [&](const Frame& f) { return count_changed(before, f, whole_screen) > 0; });
    }
};

class TwoScreens : public testing::Test {
protected:
    void SetUp() override
    {
        if (access(xvfb_path, X_OK) != 0)
            GTEST_SKIP() << "no Xvfb to give each player a screen";
        ASSERT_TRUE(fs::exists(BLOCKRISE_BINARY)) << "build the program first: " << BLOCKRISE_BINARY;
        int from = first_display;
        for (Machine& m : machines) {
            std::string pattern = (fs::temp_directory_path() / "blockrise-net-XXXXXX").string();
            ASSERT_TRUE(mkdtemp(pattern.data()));
            m.dir = pattern;
            ASSERT_TRUE(m.start_x(from)) << "no X server could be started";
            from = m.display + 1;
        }
    }
    void TearDown() override
    {
        for (Machine& m : machines) {
            m.x.reset();
            stop(m.game);
            stop(m.xvfb);
            if (HasFailure())
                std::fprintf(stderr, "kept %s\n", m.dir.c_str());
            else if (!m.dir.empty())
                fs::remove_all(m.dir);
        }
    }

    // Both screens still, with a word in each well: the game-over overlay, grabbed.
    testing::AssertionResult wait_for_overlay(Frame (&frames)[2])
    {
        Frame last[2];
        for (int waited = 0, still = 0; waited < step_timeout_ms; waited += poll_ms, pause_ms(poll_ms)) {
            bool same = true;
            for (int i = 0; i < 2; i++) {
                frames[i] = machines[i].x->grab();
                same = same && !last[i].pixels.empty() && count_changed(last[i], frames[i], game_area) == 0;
                for (const Rect& words : well_words)
                    same = same && count_near(frames[i], words, color_white_seen) >= word_ink_min;
                last[i] = frames[i];
            }
            if ((still = same ? still + 1 : 0) == still_grabs)
                return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << "the screens never came to rest on the overlay";
    }

    Machine machines[2]; // the host's, the guest's
};

TEST_F(TwoScreens, BothPlayersSeeTheSameEndAndKeepTheirOwnScores)
{
    Machine &host = machines[0], &guest = machines[1];
    const std::string port = std::to_string(free_udp_port());
    host.launch({"--host", port});
    const std::string listening = "waiting for an opponent on UDP port " + port;
    for (int waited = 0; waited < step_timeout_ms && host.file("stdout.txt").find(listening) == std::string::npos;
         waited += poll_ms)
        pause_ms(poll_ms);
    ASSERT_NE(host.file("stdout.txt").find(listening), std::string::npos) << host.file("stderr.txt");
    guest.launch({"--join", "127.0.0.1:" + port});
    for (Machine& m : machines)
        ASSERT_TRUE(m.wait_for(game_shown, "the game"));

    // The guest raises a little and scores; the host raises until its stack tops out.
    guest.x->press("Control_R");
    host.x->press("Control_R");
    pause_ms(guest_raise_ms);
    guest.x->release("Control_R");
    Frame overlay[2];
    ASSERT_TRUE(wait_for_overlay(overlay));
    host.x->release("Control_R");
    EXPECT_EQ(count_changed(overlay[0], overlay[1], game_area), 0) << "the two screens differ";

    // Each replaces the offered name with their own, leaves the table for the menu, and quits.
    for (int i = 0; i < 2; i++) {
        Machine& m = machines[i];
        ASSERT_TRUE(m.wait_for(name_entry_shown, "the name entry"));
        for (size_t k = 0; k < std::strlen("Player 1"); k++)
            ASSERT_TRUE(m.type("BackSpace"));
        for (const char* c = player_names[i]; *c; c++)
            ASSERT_TRUE(m.type(std::string(1, *c)));
        ASSERT_TRUE(m.press_until("Return", table_shown));
        ASSERT_TRUE(m.press_until("space", menu_shown));
        ASSERT_TRUE(m.press_until("Escape", [](const Frame& f) { return !menu_shown(f); }));
        ASSERT_TRUE(m.press_until("space", [&](const Frame&) { return !m.alive(); }));
        EXPECT_EQ(m.exit_status, 0) << m.file("stderr.txt");
    }

    // The same game on both sides, verified, and each table holding its own player's score.
    Replay replays[2];
    for (int i = 0; i < 2; i++) {
        std::string problem;
        ASSERT_TRUE(parse_replay(machines[i].file("replays/last.replay"), replays[i], problem)) << problem;
        EXPECT_EQ(verify_replay(replays[i]), "");
    }
    replays[1].date = replays[0].date;
    EXPECT_EQ(replay_text(replays[0]), replay_text(replays[1]));
    EXPECT_TRUE(replays[0].topped_out[0]);
    for (int i = 0; i < 2; i++) {
        const std::string own = std::string(player_names[i]) + "\n" + std::to_string(replays[0].scores[i]) + "\n";
        EXPECT_NE(machines[i].file("scores").find(own), std::string::npos) << machines[i].file("scores");
    }
}

} // namespace
