// Two real programs on two X servers of their own, one hosting and one joining over
// 127.0.0.1, keys typed into each through XTest: when the game ends, both screens show the
// same wells, scores and words, each player enters a name into their own table, and both
// return to their own menu and quit cleanly.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdlib>
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
constexpr double xvfb_start_s = 5;
constexpr double step_timeout_s = 30;
constexpr int poll_ms = 100;
constexpr int stop_wait_ms = 3000;
constexpr int key_attempts = 10;
constexpr int key_retry_ms = 1000;
constexpr int guest_raise_ms = 1200;
// The overlay is the one still picture of a game: this long unchanged on both screens.
constexpr int still_grabs = 4;
// The wells with their panels, the scores above them and the clock between.
constexpr Rect game_area{56, 0, 528, 440};
constexpr Rect well_words[2] = {{64, 220, 192, 40}, {384, 220, 192, 40}};
constexpr int word_ink_min = 40;

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

constexpr Rect whole_screen{0, 0, 640, 480};

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, const std::string& dir)
{
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open((dir + "/stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((dir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.c_str()) != 0)
            _exit(127);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return pid;
}

bool running(pid_t pid, int* status = nullptr)
{
    int got = 0;
    if (pid <= 0 || waitpid(pid, &got, WNOHANG) == pid) {
        if (status)
            *status = got;
        return false;
    }
    return true;
}

// Asked first, so that an X server removes its lock file; told if it will not go.
void stop(pid_t& pid)
{
    if (pid > 0 && running(pid)) {
        kill(pid, SIGTERM);
        for (int waited = 0; waited < stop_wait_ms && running(pid); waited += poll_ms)
            pause_ms(poll_ms);
        if (running(pid)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    pid = -1;
}

uint16_t free_udp_port()
{
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    uint16_t port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

// One player's machine: an X server, the program in a folder of its own, and the keys.
struct Machine {
    int display = 0;
    pid_t xvfb = -1, game = -1;
    std::string dir;
    std::unique_ptr<XScreen> x;
    int exit_status = -1;

    std::string name() const { return ":" + std::to_string(display); }

    bool start_x(int from)
    {
        for (display = from; display <= last_display; display++) {
            if (fs::exists("/tmp/.X" + std::to_string(display) + "-lock"))
                continue;
            std::vector<std::string> env;
            for (char** e = environ; *e; e++)
                env.emplace_back(*e);
            xvfb = spawn({xvfb_path, name(), "-screen", "0", "640x480x24", "-nolisten", "tcp"}, env, dir);
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
            for (int waited = 0; waited < xvfb_start_s * 1000 && running(xvfb) && !fs::exists(socket); waited += poll_ms)
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
        std::vector<std::string> env = {"DISPLAY=" + name(), "HOME=" + dir};
        if (BLOCKRISE_SANITIZED)
            env.push_back("LSAN_OPTIONS=suppressions=" LSAN_SUPPRESSIONS ":print_suppressions=0");
        for (char** e = environ; *e; e++)
            if (std::strncmp(*e, "DISPLAY=", 8) && std::strncmp(*e, "HOME=", 5) && std::strncmp(*e, "LSAN_OPTIONS=", 13))
                env.emplace_back(*e);
        std::vector<std::string> args = {BLOCKRISE_BINARY};
        args.insert(args.end(), options.begin(), options.end());
        game = spawn(args, env, dir);
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
    std::string file(const std::string& name) const { return read_text_file(dir + "/" + name); }
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
            if (!HasFailure() && !m.dir.empty())
                fs::remove_all(m.dir);
            else if (!m.dir.empty())
                std::fprintf(stderr, "kept %s\n", m.dir.c_str());
        }
    }

    // Until `shown` holds on the machine's screen; fails if the program ends first.
    testing::AssertionResult wait_for(Machine& m, const std::function<bool(const Frame&)>& shown, const char* what)
    {
        for (int waited = 0; waited < step_timeout_s * 1000; waited += poll_ms) {
            if (!m.alive())
                return testing::AssertionFailure() << m.name() << " ended while waiting for " << what << ": "
                                                   << m.file("stderr.txt");
            const Frame frame = m.x->grab();
            if (!frame.pixels.empty() && shown(frame))
                return testing::AssertionSuccess();
            pause_ms(poll_ms);
        }
        return testing::AssertionFailure() << m.name() << " never showed " << what;
    }

    // Both screens still for a while with a word in each well: the game-over overlay, grabbed.
    testing::AssertionResult wait_for_overlay(Frame (&frames)[2])
    {
        int still = 0;
        Frame last[2];
        for (int waited = 0; waited < step_timeout_s * 1000 && still < still_grabs; waited += poll_ms) {
            bool same = true;
            for (int i = 0; i < 2; i++) {
                frames[i] = machines[i].x->grab();
                same = same && !last[i].pixels.empty() && count_changed(last[i], frames[i], game_area) == 0;
                for (const Rect& words : well_words)
                    same = same && count_near(frames[i], words, color_white_seen) >= word_ink_min;
                last[i] = frames[i];
            }
            still = same ? still + 1 : 0;
            pause_ms(poll_ms);
        }
        if (still < still_grabs)
            return testing::AssertionFailure() << "the screens never came to rest on the overlay";
        return testing::AssertionSuccess();
    }

    // A screen reads one key at a time and forgets keys typed before it asked: each key is
    // tapped, again if need be, until the screen answers it.
    testing::AssertionResult press_until(Machine& m, const std::string& key, const std::function<bool(const Frame&)>& done)
    {
        for (int attempt = 0; attempt < key_attempts; attempt++) {
            m.x->tap(key);
            for (int waited = 0; waited < key_retry_ms; waited += poll_ms) {
                pause_ms(poll_ms);
                if (!m.alive() || done(m.x->grab()))
                    return testing::AssertionSuccess();
            }
        }
        return testing::AssertionFailure() << m.name() << ": " << key << " was never answered";
    }
    testing::AssertionResult type_key(Machine& m, const std::string& key)
    {
        const Frame before = m.x->grab();
        return press_until(m, key, [&](const Frame& f) { return count_changed(before, f, whole_screen) > 0; });
    }

    Machine machines[2]; // the host's, the guest's
};

TEST_F(TwoScreens, BothPlayersSeeTheSameEndAndKeepTheirOwnScores)
{
    Machine &host = machines[0], &guest = machines[1];
    const std::string port = std::to_string(free_udp_port());
    host.launch({"--host", port});
    for (int waited = 0; waited < step_timeout_s * 1000 && host.file("stdout.txt").find("waiting") == std::string::npos;
         waited += poll_ms)
        pause_ms(poll_ms);
    ASSERT_NE(host.file("stdout.txt").find("waiting for an opponent on UDP port " + port), std::string::npos)
        << host.file("stderr.txt");
    guest.launch({"--join", "127.0.0.1:" + port});
    for (Machine& m : machines)
        ASSERT_TRUE(wait_for(m, game_shown, "the game"));

    // The guest raises a little and scores; the host raises until its stack tops out.
    guest.x->press("Control_R");
    host.x->press("Control_R");
    pause_ms(guest_raise_ms);
    guest.x->release("Control_R");
    Frame overlay[2];
    ASSERT_TRUE(wait_for_overlay(overlay));
    host.x->release("Control_R");

    EXPECT_EQ(count_changed(overlay[0], overlay[1], game_area), 0) << "the two screens differ";
    for (const Rect& words : well_words)
        EXPECT_GE(count_near(overlay[0], words, color_white_seen), word_ink_min) << "no WIN, LOSE or TIE";

    // Each enters a name into their own table, leaves it for the menu, and quits.
    const char* names[2] = {"host", "guest"};
    const std::string offered = "Player 1";
    for (int i = 0; i < 2; i++) {
        Machine& m = machines[i];
        ASSERT_TRUE(wait_for(m, name_entry_shown, "the name entry"));
        for (size_t k = 0; k < offered.size(); k++)
            ASSERT_TRUE(type_key(m, "BackSpace"));
        for (const char* c = names[i]; *c; c++)
            ASSERT_TRUE(type_key(m, std::string(1, *c)));
        ASSERT_TRUE(press_until(m, "Return", table_shown));
        ASSERT_TRUE(press_until(m, "space", menu_shown));
        ASSERT_TRUE(press_until(m, "Escape", [](const Frame& f) { return !menu_shown(f); }));
        ASSERT_TRUE(press_until(m, "space", [&](const Frame&) { return !m.alive(); }));
        EXPECT_EQ(m.exit_status, 0) << m.file("stderr.txt");
    }

    // The same game on both sides, verified, and each table holding its own player's score.
    Replay replays[2];
    for (int i = 0; i < 2; i++) {
        std::string problem;
        ASSERT_TRUE(parse_replay(machines[i].file("replays/last.replay"), replays[i], problem)) << problem;
        EXPECT_EQ(verify_replay(replays[i]), "");
    }
    EXPECT_EQ(replays[0].changes.size(), replays[1].changes.size());
    EXPECT_EQ(replays[0].end_tick, replays[1].end_tick);
    EXPECT_TRUE(replays[0].topped_out[0]);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(replays[0].scores[i], replays[1].scores[i]);
        const std::string own = std::string(names[i]) + "\n" + std::to_string(replays[0].scores[i]) + "\n";
        EXPECT_NE(machines[i].file("scores").find(own), std::string::npos) << machines[i].file("scores");
    }
}

} // namespace
