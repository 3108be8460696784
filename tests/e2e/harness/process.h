// Running the real program: a fresh working directory, the child process, its exit status and output.
#pragma once

#include <string>
#include <sys/resource.h>
#include <sys/types.h>
#include <vector>

// What the working directory holds before the program starts.
enum class DatafileSetup {
    copy,      // the generated blocks.dat
    missing,   // no blocks.dat at all
    garbage,   // a blocks.dat of random bytes
    truncated, // the first part of the generated blocks.dat
};

struct LaunchOptions {
    DatafileSetup datafile = DatafileSetup::copy;
    bool with_display = true;               // false: DISPLAY is removed from the environment
    std::vector<std::string> extra_env;     // "NAME=value" entries added to the environment
    bool with_sound = false;                // ALSA into a file, tunes through the software synthesiser
    bool with_scores = false;               // true: a "scores" file holding scores_content
    std::string scores_content;
};

inline LaunchOptions with_datafile(DatafileSetup setup)
{
    LaunchOptions options;
    options.datafile = setup;
    return options;
}

struct GameProcess {
    pid_t pid = -1;
    std::string root;      // temporary folder holding the working directory and the captured output
    std::string work_dir;  // the program's working directory (blocks.dat, scores)
    std::string stderr_path;
    bool exited = false;
    int status = 0;        // raw wait status once exited
    struct rusage usage {};
};

// Path of the generated datafile, and whether it exists yet.
const char* generated_datafile();
bool generated_datafile_present();

// The program the tests run: the one built beside them, or BLOCKRISE_E2E_PROGRAM when set.
std::string program_under_test();

// Whether the generated instrument patches exist, which the software synthesiser needs.
bool generated_patches_present();

// Prepares a fresh working directory as asked and starts the program in it.
// Returns a process with pid -1 when the program cannot be started.
GameProcess launch_game(const LaunchOptions& options);

// Waits up to `seconds` for the program to end; true once it has ended.
bool wait_for_exit(GameProcess& game, double seconds);

// True while the program has not ended (reaps it if it just did).
bool still_running(GameProcess& game);

// Kills the program if it still runs and reaps it.
void stop_game(GameProcess& game);

// Removes the temporary folder of a finished run.
void remove_run_files(const GameProcess& game);

// Exit code, or -1 when the program did not exit normally (killed by a signal, still running).
int exit_code(const GameProcess& game);
std::string describe_status(const GameProcess& game);

std::string read_text_file(const std::string& path);
std::vector<std::string> read_lines(const std::string& path);
std::string stderr_text(const GameProcess& game);
