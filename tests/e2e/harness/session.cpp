// Screen recognisers, the fixture's set-up and clean-up, and the steps of a session at the keyboard.
#include "harness/e2e.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr Rgb color_highlight_seen{255, 255, 192};
constexpr Rgb color_name_seen{0, 192, 0};
// Bands of the high-score screens: the captions' tops and the band the typed name lives in.
constexpr Rect table_caption_band{0, 16, 640, 30};
constexpr Rect entry_caption_band{0, 100, 640, 30};
constexpr Rect name_band{0, 250, 640, 50};
constexpr Rect clock_band{290, 130, 60, 25};
// Enough ink to tell a drawn text from stray pixels of a picture.
constexpr int text_ink_min = 30;
constexpr int stray_ink_max = 4;

constexpr double key_retry_s = 3; // a key lost to a buffer the game was emptying is sent again
constexpr int key_attempts = 6;
constexpr int game_key_hold_ms = 80; // several ticks of the 60 Hz game clock
constexpr int settle_ms = 150;       // lets the game empty its key buffer before the next key
constexpr int max_name_clears = 24;  // more than a name buffer holds

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool captioned(const Frame& frame, Rect caption, Rect other_caption)
{
    return count_near(frame, caption, color_highlight_seen) >= text_ink_min &&
           count_near(frame, other_caption, color_highlight_seen) < stray_ink_max &&
           !menu_shown(frame);
}

} // namespace

int menu_selection(const Frame& frame)
{
    int selected = 0;
    for (int i = 0; i < 3; i++) {
        const Rect line{60, 350 + 16 * i, 19 * 8, 8}; // the built-in 8x8 font
        const bool lit = count_near(frame, line, color_highlight_seen) >= text_ink_min;
        if (count_near(frame, line, color_white_seen) >= text_ink_min)
            continue;
        if (!lit || selected)
            return 0;
        selected = i + 1;
    }
    return selected;
}

bool name_entry_shown(const Frame& f) { return captioned(f, entry_caption_band, table_caption_band); }
bool table_shown(const Frame& f) { return captioned(f, table_caption_band, entry_caption_band); }

bool game_shown(const Frame& frame)
{
    return count_near(frame, clock_band, color_white_seen) >= text_ink_min && !menu_shown(frame) &&
           !name_entry_shown(frame) && !table_shown(frame);
}

std::vector<ScoreEntry> read_scores(const GameProcess& game)
{
    std::istringstream text(read_text_file(game.work_dir + "/scores"));
    std::vector<ScoreEntry> entries;
    ScoreEntry entry;
    while (std::getline(text, entry.name) && std::getline(text, entry.score))
        entries.push_back(entry);
    EXPECT_EQ(entries.size(), 10u) << "the scores file should hold ten entries";
    return entries;
}

void expect_ranked(const std::vector<ScoreEntry>& entries)
{
    for (size_t i = 1; i < entries.size(); i++)
        EXPECT_GE(std::atoi(entries[i - 1].score.c_str()), std::atoi(entries[i].score.c_str()))
            << "entries " << i - 1 << " (" << entries[i - 1].name << ") and " << i << " ("
            << entries[i].name << ") are out of order";
}

void EndToEnd::SetUp()
{
    x = std::make_unique<XScreen>();
    if (!x->connected())
        GTEST_SKIP() << "no X server to play on: " << x->problem;
    if (!fs::exists(BLOCKS_DAT_PATH))
        GTEST_SKIP() << "the generated datafile is missing: " << BLOCKS_DAT_PATH;
    if (x->width != 640 || x->height != 480)
        GTEST_SKIP() << "the X screen is " << x->width << "x" << x->height
                     << "; these tests read the game's frame from a 640x480 root window";
}

void EndToEnd::TearDown()
{
    const bool failed = HasFailure();
    if (failed && x->connected() && !game.root.empty()) {
        const Frame shot = x->grab();
        if (FILE* file = std::fopen((game.root + "/failure.ppm").c_str(), "wb")) {
            std::fprintf(file, "P6\n%d %d\n255\n", shot.width, shot.height);
            std::fwrite(shot.pixels.data(), sizeof(Rgb), shot.pixels.size(), file);
            std::fclose(file);
        }
        std::printf("the failed run's files and a screenshot (failure.ppm) are kept in %s\n",
                    game.root.c_str());
    }
    x->release_all();
    stop_game(game, failed);
}

GameProcess& EndToEnd::launch(const LaunchOptions& options)
{
    stop_game(game);
    game = launch_game(options);
    return game;
}

EndToEnd::Step EndToEnd::wait_screen(const std::function<bool(const Frame&)>& shown,
                                     const char* what, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (!still_running(game))
            return testing::AssertionFailure()
                   << "the program ended while waiting for " << what << ": " << describe(game);
        const Frame frame = x->grab();
        if (!frame.pixels.empty() && shown(frame))
            return testing::AssertionSuccess();
        if (std::chrono::steady_clock::now() > deadline)
            return testing::AssertionFailure() << "no " << what << " after " << seconds << " s";
        pause_ms(100);
    }
}

EndToEnd::Step EndToEnd::tap_until(const std::string& key,
                                   const std::function<bool(const Frame&)>& shown, const char* what)
{
    for (int attempt = 0; attempt < key_attempts; attempt++) {
        pause_ms(settle_ms);
        x->tap(key);
        if (Step done = wait_screen(shown, what, key_retry_s); done || !still_running(game))
            return done;
    }
    return testing::AssertionFailure() << "key " << key << " never led to " << what;
}

EndToEnd::Step EndToEnd::leave_starfield()
{
    const auto mapped = [&](const Frame&) { return x->window_mapped(640, 480); };
    if (Step up = wait_screen(mapped, "640x480 window", 30); !up)
        return up;
    pause_ms(500); // the window needs a moment before it takes keys
    return tap_until("space", menu_shown, "the title menu");
}

EndToEnd::Step EndToEnd::start_game(int players)
{
    if (Step menu = wait_screen(menu_shown, "the title menu"); !menu)
        return menu;
    return tap_until(players == 1 ? "1" : "2", [](const Frame& f) { return !menu_shown(f); },
                     "a game");
}

void EndToEnd::hold_escape()
{
    x->press("Escape");
    pause_ms(300);
    x->release("Escape");
}

// Taps a key on the name entry and waits until the typed name is drawn differently.
EndToEnd::Step EndToEnd::name_key(const std::string& key, bool shifted)
{
    const Frame before = x->grab();
    pause_ms(settle_ms);
    if (shifted)
        x->press("Shift_L");
    x->tap(key);
    if (shifted)
        x->release("Shift_L");
    return wait_screen([&](const Frame& f) { return count_changed(before, f, name_band) > 0; },
                       "a change of the typed name", 5);
}

EndToEnd::Step EndToEnd::enter_name(const std::string& name)
{
    if (Step up = wait_screen(name_entry_shown, "the name entry", game_over_timeout_s); !up)
        return up;
    if (!name.empty()) {
        for (int i = 0; i < max_name_clears && count_near(x->grab(), name_band, color_name_seen); i++)
            if (Step gone = name_key("BackSpace", false); !gone)
                return gone << " (clearing the offered name)";
        for (char c : name) {
            const std::string sym = c == ' ' ? "space" : std::string(1, char(std::tolower(c)));
            if (Step typed = name_key(sym, std::isupper(static_cast<unsigned char>(c))); !typed)
                return typed << " (typing '" << c << "')";
        }
    }
    const Frame before = x->grab();
    pause_ms(settle_ms);
    x->tap("Return");
    // The next player's entry can follow at once, so the name band changing also counts.
    return wait_screen(
        [&](const Frame& f) { return !name_entry_shown(f) || count_changed(before, f, name_band); },
        "the end of the name entry");
}

EndToEnd::Step EndToEnd::leave_table()
{
    if (Step up = wait_screen(table_shown, "the high-score table"); !up)
        return up;
    if (Step gone = tap_until("space", [](const Frame& f) { return !table_shown(f); },
                              "the end of the table");
        !gone)
        return gone;
    return wait_screen(menu_shown, "the title menu after the table");
}

EndToEnd::Step EndToEnd::quit_from_menu()
{
    if (Step menu = wait_screen(menu_shown, "the title menu"); !menu)
        return menu;
    if (Step gone = tap_until("Escape", [](const Frame& f) { return !menu_shown(f); },
                              "the farewell starfield");
        !gone)
        return gone;
    for (int attempt = 0; attempt < 2 * key_attempts && still_running(game); attempt++) {
        pause_ms(500);
        x->tap("space");
        wait_for_exit(game, key_retry_s);
    }
    if (exit_code(game) != 0)
        return testing::AssertionFailure() << "the farewell starfield did not end in a clean exit: "
                                           << describe(game);
    return testing::AssertionSuccess();
}

EndToEnd::Step EndToEnd::play_session(const std::vector<PlannedGame>& games)
{
    if (Step menu = leave_starfield(); !menu)
        return menu;
    for (const PlannedGame& planned : games) {
        if (Step started = start_game(planned.players); !started)
            return started;
        // A few cursor moves and swaps: player 1's keys in a two-player game, else the arrows.
        const char* const keys[2][4] = {{"Left", "Up", "Right", "Shift_R"},
                                        {"a", "w", "d", "Shift_L"}};
        const char* const* own = keys[planned.players == 2 ? 1 : 0];
        for (int i = 0; i < 3; i++)
            for (const char* key : {own[i], own[3]}) {
                x->tap(key, game_key_hold_ms);
                pause_ms(game_key_hold_ms);
            }
        hold_escape();
        for (const std::string& name : planned.names)
            if (Step entered = enter_name(name); !entered)
                return entered;
        if (Step left = leave_table(); !left)
            return left;
    }
    return quit_from_menu();
}
