// The real program under an X server: keys go in through XTest, pixels come back from the root
// window, and a fixture drives a session the way a player would, checking each screen appears.
#pragma once

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <sys/resource.h>
#include <vector>

// ---- x_screen.cpp: the display named by DISPLAY ----

struct Rgb {
    uint8_t r, g, b;
};

struct Rect {
    int x, y, w, h;
};

// One captured picture of the whole screen, row-major.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A 16-bit colour comes back from a 24-bit server a few steps off, so colours match with a tolerance.
bool near_color(Rgb a, Rgb b, int tolerance = 10);
// Pixels inside `area` near `color`, and pixels inside `area` that differ between two frames.
int count_near(const Frame& frame, Rect area, Rgb color);
int count_changed(const Frame& a, const Frame& b, Rect area);

class XScreen {
public:
    XScreen();
    ~XScreen();
    XScreen(const XScreen&) = delete;
    XScreen& operator=(const XScreen&) = delete;

    bool connected() const { return display_ != nullptr; }
    std::string problem;
    int width = 0, height = 0;

    // Keys by X keysym name ("Escape", "Shift_R", "a", "1", "space").
    void press(const std::string& key) { fake_key(key, true); }
    void release(const std::string& key) { fake_key(key, false); }
    void tap(const std::string& key, int hold_ms = 60);
    void release_all();

    Frame grab() const; // empty when the screen cannot be read
    // Whether a top-level window of the given size is mapped right now.
    bool window_mapped(int w, int h) const;
    // What a window manager's close button does: WM_DELETE_WINDOW to every top-level window
    // that takes it. False when no window does.
    bool close_windows();

private:
    void fake_key(const std::string& key, bool down);

    struct _XDisplay* display_ = nullptr;
    std::set<std::string> held_;
};

// ---- process.cpp: one run of the program in a temporary working directory ----

enum class DatafileSetup { copy, missing, garbage, truncated }; // blocks.dat before the start

struct LaunchOptions {
    DatafileSetup datafile = DatafileSetup::copy;
    bool with_display = true;           // false: DISPLAY is removed from the environment
    bool with_sound = false;            // ALSA into a file, tunes through the software synthesiser
    std::vector<std::string> extra_env; // "NAME=value", winning over inherited settings
    std::optional<std::string> scores;  // the contents of a "scores" file to start with
    std::vector<std::pair<std::string, std::string>> files; // more files to start with: name, contents
    std::vector<std::string> args;      // the program's arguments
};

struct GameProcess {
    pid_t pid = -1;       // -1 when the program could not be started
    std::string root;     // temporary folder: the home, captured output and the working directory
    std::string work_dir; // the program's working directory (blocks.dat, scores)
    bool exited = false;
    int status = 0; // raw wait status once exited
    struct rusage usage {};
};

GameProcess launch_game(const LaunchOptions& options);
// Waits up to `seconds` for the program to end; true once it has ended.
bool wait_for_exit(GameProcess& game, double seconds);
inline bool still_running(GameProcess& game) { return game.pid > 0 && !wait_for_exit(game, 0); }
// Kills the program if it still runs, reaps it and (unless `keep_files`) removes its folder.
void stop_game(GameProcess& game, bool keep_files = false);
// Exit code, or -1 when the program did not exit normally (killed by a signal, still running).
int exit_code(const GameProcess& game);
// How the program ended, and what it wrote to stderr.
std::string describe(const GameProcess& game);
std::string stderr_text(const GameProcess& game);
std::string read_text_file(const std::string& path);

// ---- session.cpp: the game's screens, its scores file and the fixture ----

constexpr Rgb color_white_seen{255, 255, 255};
// Generous: the machine running the tests may be slow and busy.
constexpr double screen_timeout_s = 20;
constexpr double game_over_timeout_s = 30; // overlay, a three-second pause, then the name entry

// The menu line (1-3) in the highlight colour while the other two are white, or 0.
int menu_selection(const Frame& frame);
inline bool menu_shown(const Frame& frame) { return menu_selection(frame) != 0; }
bool name_entry_shown(const Frame& frame);
bool table_shown(const Frame& frame);
// A game (running, or its game-over overlay): the clock in white, no other screen.
bool game_shown(const Frame& frame);

struct ScoreEntry {
    std::string name, score;
};
// The scores file as entries; anything but ten entries fails the calling test.
std::vector<ScoreEntry> read_scores(const GameProcess& game);
// Only the ranking rule puts entries in descending order of score.
void expect_ranked(const std::vector<ScoreEntry>& entries);

// One game as the tests play it: a fresh table ranks every score, so each player names it
// ("" confirms the offered label).
struct PlannedGame {
    int players;
    std::vector<std::string> names;
};

class EndToEnd : public testing::Test {
protected:
    using Step = testing::AssertionResult;
    using Shown = std::function<bool(const Frame&)>;

    // Skips (with the reason) without an X server, a 640x480 screen or the generated datafile.
    void SetUp() override;
    // Kills the program; on failure keeps its folder with a screenshot in it.
    void TearDown() override;
    // Starts the program in `game`, after ending and clearing away an earlier run.
    GameProcess& launch(const LaunchOptions& options = {});

    // Waits for `shown`; fails at once if the program ends meanwhile.
    Step wait_screen(const Shown& shown, const char* what, double seconds = screen_timeout_s);
    // The opening starfield is up once the full-screen window is mapped; a key leads to the menu.
    Step leave_starfield();
    // "1" or "2" in the menu; returns once the menu is gone.
    Step start_game(int players);
    // Held long enough for the game loop to see it.
    void hold_escape();
    // Waits for a name entry, types `name` over the offered label (unless "") and confirms.
    Step enter_name(const std::string& name);
    // Leaves the high-score table with a key, back to the menu.
    Step leave_table();
    // Escape in the menu, a key on the farewell starfield; succeeds when the program exits with 0.
    Step quit_from_menu();
    // The starfield, each game (a few swaps, then Escape), then quit.
    Step play_session(const std::vector<PlannedGame>& games);

    std::unique_ptr<XScreen> x;
    GameProcess game;

private:
    Step tap_until(const std::string& key, const Shown& shown, const char* what);
    Step name_key(const std::string& key, bool shifted);
};
