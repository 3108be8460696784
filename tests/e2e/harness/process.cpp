// Starts the program in its own temporary working directory and collects how it ended.
#include "harness/e2e.h"

#include <chrono>
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

bool write_file(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    return bool(out << text);
}

bool prepare_datafile(const std::string& target, DatafileSetup setup)
{
    std::error_code error;
    if (setup == DatafileSetup::missing)
        return true;
    if (setup == DatafileSetup::copy)
        return fs::copy_file(BLOCKS_DAT_PATH, target, error);
    std::string bytes = read_text_file(BLOCKS_DAT_PATH);
    std::mt19937 random(12345);
    bytes.resize(setup == DatafileSetup::truncated ? bytes.size() / 3 : 4096);
    if (setup == DatafileSetup::garbage)
        for (char& byte : bytes)
            byte = static_cast<char>(random() & 0xff);
    return write_file(target, bytes);
}

// Sound goes to a file in the run's folder; the library finds the patches through allegro.cfg.
bool prepare_sound(const GameProcess& game)
{
    std::ofstream asoundrc(game.root + "/.asoundrc");
    asoundrc << "pcm.!default { type file  slave.pcm \"null\"  file \"" << game.root
             << "/sound.raw\"  format \"raw\" }\n";
    std::error_code error;
    fs::copy_file(ALLEGRO_CFG_PATH, game.work_dir + "/allegro.cfg", error);
    if (!error && fs::exists(PATCHES_DAT_PATH))
        fs::copy_file(PATCHES_DAT_PATH, game.work_dir + "/patches.dat", error);
    return bool(asoundrc) && !error;
}

// The inherited environment, except that a home of its own keeps the user's sound and library
// settings out of the run, and the test's own settings win over inherited ones of the same name.
std::vector<std::string> child_environment(const LaunchOptions& options, const GameProcess& game)
{
    std::vector<std::string> env = options.extra_env;
    env.push_back("HOME=" + game.root);
    if (options.with_sound)
        env.push_back("ALLEGRO=" + game.work_dir);
    const size_t own = env.size();
    for (char** e = environ; *e; e++) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool dropped = !options.with_display && name == "DISPLAY=";
        for (size_t i = 0; i < own && !dropped; i++)
            dropped = env[i].compare(0, name.size(), name) == 0;
        if (!dropped)
            env.push_back(entry);
    }
    return env;
}

bool reap(GameProcess& game, int flags)
{
    int status = 0;
    if (game.pid > 0 && !game.exited && wait4(game.pid, &status, flags, &game.usage) == game.pid) {
        game.exited = true;
        game.status = status;
    }
    return game.exited;
}

} // namespace

GameProcess launch_game(const LaunchOptions& options)
{
    GameProcess game;
    std::string pattern = (fs::temp_directory_path() / "blockrise-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return game;
    game.root = pattern;
    game.work_dir = game.root + "/run";
    fs::create_directories(game.work_dir);
    if (!prepare_datafile(game.work_dir + "/blocks.dat", options.datafile))
        return game;
    if (options.scores && !write_file(game.work_dir + "/scores", *options.scores))
        return game;
    for (const auto& [name, contents] : options.files)
        if (!write_file(game.work_dir + "/" + name, contents))
            return game;
    if (options.with_sound && !prepare_sound(game))
        return game;

    std::vector<std::string> env = child_environment(options, game);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv{const_cast<char*>(BLOCKRISE_BINARY)};
    for (const std::string& arg : options.args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const std::string err_path = game.root + "/stderr.txt", out_path = game.root + "/stdout.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err < 0 || out < 0 || dup2(err, 2) < 0 || dup2(out, 1) < 0 ||
            chdir(game.work_dir.c_str()) != 0)
            _exit(127);
        execve(BLOCKRISE_BINARY, argv.data(), envp.data());
        _exit(127);
    }
    game.pid = pid;
    return game;
}

bool wait_for_exit(GameProcess& game, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (game.pid > 0 && !reap(game, WNOHANG) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return game.exited;
}

void stop_game(GameProcess& game, bool keep_files)
{
    if (still_running(game)) {
        kill(game.pid, SIGKILL);
        reap(game, 0);
    }
    std::error_code error;
    if (!keep_files && !game.root.empty())
        fs::remove_all(game.root, error);
}

int exit_code(const GameProcess& game)
{
    return game.exited && WIFEXITED(game.status) ? WEXITSTATUS(game.status) : -1;
}

std::string describe(const GameProcess& game)
{
    std::string how = "ended strangely";
    if (game.pid <= 0)
        how = "never started";
    else if (!game.exited)
        how = "still running";
    else if (WIFEXITED(game.status))
        how = "exited with status " + std::to_string(WEXITSTATUS(game.status));
    else if (WIFSIGNALED(game.status))
        how = std::string("killed by signal ") + strsignal(WTERMSIG(game.status));
    return how + "; stderr: " + stderr_text(game);
}

std::string stderr_text(const GameProcess& game) { return read_text_file(game.root + "/stderr.txt"); }

std::string read_text_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
