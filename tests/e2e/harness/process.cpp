// Starts the program in its own temporary working directory and collects how it ended.
#include "harness/process.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <signal.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr auto poll_interval = std::chrono::milliseconds(20);
constexpr size_t garbage_size = 4096;

std::string make_temp_root()
{
    std::string pattern = (fs::temp_directory_path() / "blockrise-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

bool prepare_datafile(const std::string& dir, DatafileSetup setup)
{
    const fs::path target = fs::path(dir) / "blocks.dat";
    switch (setup) {
    case DatafileSetup::missing:
        return true;
    case DatafileSetup::copy: {
        std::error_code error;
        fs::copy_file(generated_datafile(), target, error);
        return !error;
    }
    case DatafileSetup::garbage: {
        std::mt19937 random(12345);
        std::ofstream out(target, std::ios::binary);
        for (size_t i = 0; i < garbage_size; i++)
            out.put(static_cast<char>(random() & 0xff));
        return bool(out);
    }
    case DatafileSetup::truncated: {
        const std::string whole = read_text_file(generated_datafile());
        std::ofstream out(target, std::ios::binary);
        out.write(whole.data(), static_cast<std::streamsize>(whole.size() / 3));
        return !whole.empty() && bool(out);
    }
    }
    return false;
}

// Sound goes to a file in the run's folder; the library finds the patches through allegro.cfg.
bool prepare_sound(const GameProcess& game)
{
    std::ofstream asoundrc(game.root + "/.asoundrc");
    asoundrc << "pcm.!default { type file  slave.pcm \"null\"  file \"" << game.root
             << "/sound.raw\"  format \"raw\" }\n";
    std::error_code error;
    fs::copy_file(ALLEGRO_CFG_PATH, game.work_dir + "/allegro.cfg", error);
    if (!error && generated_patches_present())
        fs::copy_file(PATCHES_DAT_PATH, game.work_dir + "/patches.dat", error);
    return bool(asoundrc) && !error;
}

std::vector<std::string> child_environment(const LaunchOptions& options, const std::string& home,
                                           const std::string& work_dir)
{
    std::vector<std::string> env;
    auto overridden = [&](const std::string& entry) {
        for (const std::string& extra : options.extra_env) {
            const size_t equals = extra.find('=');
            if (equals != std::string::npos && entry.compare(0, equals + 1, extra, 0, equals + 1) == 0)
                return true;
        }
        return false;
    };
    for (char** e = environ; *e; e++) {
        const std::string entry = *e;
        // The test's own settings win over the inherited ones (the first of a name counts).
        if (entry.rfind("HOME=", 0) == 0 || overridden(entry))
            continue;
        if (!options.with_display && entry.rfind("DISPLAY=", 0) == 0)
            continue;
        env.push_back(entry);
    }
    // A home of its own keeps the user's sound and library settings out of the run.
    env.push_back("HOME=" + home);
    if (options.with_sound)
        env.push_back("ALLEGRO=" + work_dir);
    for (const std::string& extra : options.extra_env)
        env.push_back(extra);
    return env;
}

void record_exit(GameProcess& game, int status, const struct rusage& usage)
{
    game.exited = true;
    game.status = status;
    game.usage = usage;
}

bool reap(GameProcess& game, int flags)
{
    if (game.pid <= 0 || game.exited)
        return game.exited;
    int status = 0;
    struct rusage usage {};
    const pid_t done = wait4(game.pid, &status, flags, &usage);
    if (done == game.pid)
        record_exit(game, status, usage);
    return game.exited;
}

} // namespace

const char* generated_datafile() { return BLOCKS_DAT_PATH; }

std::string program_under_test()
{
    const char* other = std::getenv("BLOCKRISE_E2E_PROGRAM");
    return other && *other ? other : BLOCKRISE_BINARY;
}

bool generated_datafile_present() { return fs::exists(generated_datafile()); }

bool generated_patches_present() { return fs::exists(PATCHES_DAT_PATH); }

GameProcess launch_game(const LaunchOptions& options)
{
    GameProcess game;
    game.root = make_temp_root();
    if (game.root.empty())
        return game;
    game.work_dir = game.root + "/run";
    game.stderr_path = game.root + "/stderr.txt";
    fs::create_directories(game.work_dir);
    if (!prepare_datafile(game.work_dir, options.datafile))
        return game;
    if (options.with_scores) {
        std::ofstream scores(game.work_dir + "/scores", std::ios::binary);
        scores << options.scores_content;
        if (!scores)
            return game;
    }

    if (options.with_sound && !prepare_sound(game))
        return game;
    const std::vector<std::string> env = child_environment(options, game.root, game.work_dir);
    std::vector<char*> envp;
    for (const std::string& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    const std::string binary = program_under_test();
    const std::string stdout_path = game.root + "/stdout.txt";

    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(game.stderr_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = open(stdout_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || out < 0 || dup2(err, 2) < 0 || dup2(out, 1) < 0 ||
            chdir(game.work_dir.c_str()) != 0)
            _exit(127);
        char* argv[] = {const_cast<char*>(binary.c_str()), nullptr};
        execve(binary.c_str(), argv, envp.data());
        _exit(127);
    }
    game.pid = pid;
    return game;
}

bool wait_for_exit(GameProcess& game, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(seconds));
    while (!reap(game, WNOHANG)) {
        if (game.pid <= 0 || std::chrono::steady_clock::now() > deadline)
            return game.exited;
        std::this_thread::sleep_for(poll_interval);
    }
    return true;
}

bool still_running(GameProcess& game) { return game.pid > 0 && !reap(game, WNOHANG); }

void stop_game(GameProcess& game)
{
    if (still_running(game)) {
        kill(game.pid, SIGKILL);
        reap(game, 0);
    }
}

void remove_run_files(const GameProcess& game)
{
    std::error_code error;
    if (!game.root.empty())
        fs::remove_all(game.root, error);
}

int exit_code(const GameProcess& game)
{
    if (!game.exited || !WIFEXITED(game.status))
        return -1;
    return WEXITSTATUS(game.status);
}

std::string describe_status(const GameProcess& game)
{
    if (game.pid <= 0)
        return "never started";
    if (!game.exited)
        return "still running";
    if (WIFEXITED(game.status))
        return "exited with status " + std::to_string(WEXITSTATUS(game.status));
    if (WIFSIGNALED(game.status))
        return std::string("killed by signal ") + strsignal(WTERMSIG(game.status));
    return "ended strangely";
}

std::string read_text_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> read_lines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string stderr_text(const GameProcess& game) { return read_text_file(game.stderr_path); }
