// The steps of a session at the keyboard, each waiting for the screen it should lead to.
#include "harness/flow.h"

#include <cctype>
#include <chrono>
#include <thread>

#include "harness/screens.h"

namespace {

constexpr double key_retry_s = 3;      // a key lost to a buffer the game was emptying is sent again
constexpr int key_attempts = 6;
constexpr int game_key_hold_ms = 80;   // several ticks of the 60 Hz game clock
constexpr int settle_ms = 150;         // lets the game empty its key buffer before the next key
constexpr double name_change_s = 5;
constexpr int max_name_clears = 24;    // more than a name buffer holds

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

testing::AssertionResult ended_early(Driver d, const char* waiting_for)
{
    return testing::AssertionFailure() << "the program ended (" << describe_status(d.game)
                                       << ") while waiting for " << waiting_for
                                       << "; stderr: " << stderr_text(d.game);
}

// Waits for `shown`, polling; the program's end is noticed at once.
template <typename Pred>
testing::AssertionResult wait_until(Driver d, Pred shown, const char* what, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double>(seconds));
    for (;;) {
        if (!still_running(d.game))
            return ended_early(d, what);
        const Frame frame = d.x.grab();
        if (!frame.empty() && shown(frame))
            return testing::AssertionSuccess();
        if (std::chrono::steady_clock::now() > deadline)
            return testing::AssertionFailure() << "no " << what << " after " << seconds << " s";
        pause_ms(100);
    }
}

// Sends `key` until the screen leaves the state `still_there` recognises.
testing::AssertionResult tap_until_gone(Driver d, const char* key, bool (*still_there)(const Frame&),
                                        const char* what)
{
    for (int attempt = 0; attempt < key_attempts; attempt++) {
        pause_ms(settle_ms);
        d.x.tap(key);
        if (wait_until(d, [&](const Frame& f) { return !still_there(f); }, what, key_retry_s))
            return testing::AssertionSuccess();
        if (!still_running(d.game))
            return ended_early(d, what);
    }
    return testing::AssertionFailure() << "key " << key << " never led to " << what;
}

// Taps a key on the name entry and waits until the typed name is drawn differently.
testing::AssertionResult name_key(Driver d, const std::string& key, bool shifted)
{
    const Frame before = d.x.grab();
    pause_ms(settle_ms);
    if (shifted)
        d.x.press("Shift_L");
    d.x.tap(key);
    if (shifted)
        d.x.release("Shift_L");
    return wait_until(
        d, [&](const Frame& f) { return count_changed(before, f, name_band) > 0; },
        "a change of the typed name", name_change_s);
}

std::string keysym_for(char c)
{
    if (c == ' ')
        return "space";
    return std::string(1, static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
}

} // namespace

testing::AssertionResult wait_screen(Driver d, bool (*shown)(const Frame&), const char* what,
                                     double seconds)
{
    return wait_until(d, shown, what, seconds);
}

testing::AssertionResult wait_for_window(Driver d)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration<double>(window_timeout_s);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!still_running(d.game))
            return ended_early(d, "the window");
        if (d.x.window_mapped(d.x.width(), d.x.height()))
            return testing::AssertionSuccess();
        pause_ms(100);
    }
    return testing::AssertionFailure() << "no full-screen window after " << window_timeout_s << " s";
}

testing::AssertionResult leave_starfield(Driver d)
{
    if (auto up = wait_for_window(d); !up)
        return up;
    pause_ms(500); // the window needs a moment before it takes keys
    for (int attempt = 0; attempt < key_attempts; attempt++) {
        d.x.tap("space");
        if (wait_until(d, menu_shown, "the title menu", key_retry_s))
            return testing::AssertionSuccess();
        if (!still_running(d.game))
            return ended_early(d, "the title menu");
    }
    return testing::AssertionFailure() << "the starfield never gave way to the title menu";
}

testing::AssertionResult start_game_from_menu(Driver d, int players)
{
    if (auto menu = wait_until(d, menu_shown, "the title menu", screen_timeout_s); !menu)
        return menu;
    return tap_until_gone(d, players == 1 ? "1" : "2", menu_shown, "a game");
}

void make_some_swaps(Driver d, int player_keys_of)
{
    const bool left = player_keys_of == 1;
    const char* moves[] = {left ? "a" : "Left", left ? "w" : "Up", left ? "d" : "Right"};
    const char* swap = left ? "Shift_L" : "Shift_R";
    for (const char* move : moves) {
        d.x.tap(move, game_key_hold_ms);
        pause_ms(game_key_hold_ms);
        d.x.tap(swap, game_key_hold_ms);
        pause_ms(game_key_hold_ms);
    }
}

void hold_escape(Driver d)
{
    d.x.press("Escape");
    pause_ms(300);
    d.x.release("Escape");
}

testing::AssertionResult enter_name(Driver d, const std::string& name, double wait_seconds)
{
    if (auto up = wait_until(d, name_entry_shown, "the name entry", wait_seconds); !up)
        return up;
    if (!name.empty()) {
        for (int i = 0; i < max_name_clears && name_ink(d.x.grab()) > 0; i++)
            if (auto gone = name_key(d, "BackSpace", false); !gone)
                return gone << " (clearing the offered name)";
        for (char c : name)
            if (auto typed = name_key(d, keysym_for(c), std::isupper(static_cast<unsigned char>(c)));
                !typed)
                return typed << " (typing '" << c << "')";
    }
    const Frame before = d.x.grab();
    pause_ms(settle_ms);
    d.x.tap("Return");
    // The next player's entry can follow at once, so the name band changing also counts.
    return wait_until(
        d,
        [&](const Frame& f) {
            return !name_entry_shown(f) || count_changed(before, f, name_band) > 0;
        },
        "the end of the name entry", screen_timeout_s);
}

testing::AssertionResult leave_table(Driver d)
{
    if (auto up = wait_until(d, table_shown, "the high-score table", screen_timeout_s); !up)
        return up;
    if (auto gone = tap_until_gone(d, "space", table_shown, "the end of the table"); !gone)
        return gone;
    return wait_until(d, menu_shown, "the title menu after the table", screen_timeout_s);
}

testing::AssertionResult quit_from_menu(Driver d)
{
    if (auto menu = wait_until(d, menu_shown, "the title menu", screen_timeout_s); !menu)
        return menu;
    if (auto gone = tap_until_gone(d, "Escape", menu_shown, "the farewell starfield"); !gone)
        return gone;
    for (int attempt = 0; attempt < key_attempts * 2; attempt++) {
        pause_ms(500);
        if (!still_running(d.game))
            return testing::AssertionSuccess();
        d.x.tap("space");
        if (wait_for_exit(d.game, key_retry_s))
            return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "the farewell starfield never ended";
}

testing::AssertionResult play_session(Driver d, const std::vector<PlannedGame>& games)
{
    if (auto menu = leave_starfield(d); !menu)
        return menu;
    for (const PlannedGame& planned : games) {
        if (auto started = start_game_from_menu(d, planned.players); !started)
            return started;
        make_some_swaps(d, planned.players == 1 ? 2 : 1);
        hold_escape(d);
        for (const std::string& name : planned.names)
            if (auto entered = enter_name(d, name); !entered)
                return entered;
        if (auto left = leave_table(d); !left)
            return left;
    }
    if (auto quit = quit_from_menu(d); !quit)
        return quit;
    return wait_for_exit(d.game, exit_timeout_s)
               ? testing::AssertionSuccess()
               : testing::AssertionFailure() << "the program did not exit";
}
