// blockrise-replay: plays a seeded game from recorded keys without display or sound and
// prints every player's state after every tick.
#include <algorithm>
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/colors.h"
#include "game/popups.h"
#include "game/update.h"
#include "key_script.h"
#include "print_state.h"
#include "support/headless.h"

namespace {

constexpr int exit_usage = 2;
constexpr int exit_no_data = 1;

struct Options {
    unsigned seed = 0;
    int players = 1;
    long ticks = 0;
    const char* keys = nullptr;
    const char* data = nullptr;
};

[[noreturn]] void usage(const char* problem)
{
    std::fprintf(stderr,
                 "blockrise-replay: %s\n"
                 "usage: blockrise-replay --seed S --players N --ticks T [--keys FILE] "
                 "[--data blocks.dat]\n",
                 problem);
    std::exit(exit_usage);
}

long number_argument(const char* name, const char* text, long low, long high)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno || end == text || *end || value < low || value > high)
        usage((std::string(name) + " needs a number from " + std::to_string(low) + " to " +
               std::to_string(high))
                  .c_str());
    return value;
}

Options parse_options(int argc, char** argv)
{
    Options o;
    bool seed = false, count = false, ticks = false;
    for (int i = 1; i < argc; i++) {
        const char* name = argv[i];
        if (i + 1 >= argc)
            usage((std::string(name) + " needs a value").c_str());
        const char* value = argv[++i];
        if (!std::strcmp(name, "--seed"))
            o.seed = static_cast<unsigned>(number_argument(name, value, 0, 4294967295L)), seed = true;
        else if (!std::strcmp(name, "--players"))
            o.players = static_cast<int>(number_argument(name, value, 1, max_players)), count = true;
        else if (!std::strcmp(name, "--ticks"))
            o.ticks = number_argument(name, value, 0, 100000000L), ticks = true;
        else if (!std::strcmp(name, "--keys"))
            o.keys = value;
        else if (!std::strcmp(name, "--data"))
            o.data = value;
        else
            usage((std::string("unknown option ") + name).c_str());
    }
    if (!seed || !count || !ticks)
        usage("--seed, --players and --ticks are needed");
    return o;
}

std::vector<KeyEvent> read_keys(const char* path)
{
    std::vector<KeyEvent> events;
    if (!path)
        return events;
    std::ifstream file(path);
    if (!file)
        usage((std::string("cannot read ") + path).c_str());
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string error;
    if (!parse_key_script(text, events, error)) {
        std::fprintf(stderr, "blockrise-replay: %s: %s\n", path, error.c_str());
        std::exit(exit_usage);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.tick < b.tick; });
    return events;
}

// Popups point at these; they are never drawn here.
void make_blank_popup_images()
{
    for (BITMAP*& image : popup_images)
        image = create_bitmap(cell_size, cell_size);
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse_options(argc, argv);
    const std::vector<KeyEvent> events = read_keys(options.keys);
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "blockrise-replay: cannot start the library\n");
        return exit_no_data;
    }
    set_color_depth(16);
    make_colors();
    if (options.data) {
        if (const char* problem = load_game_data(options.data)) {
            std::fprintf(stderr, "blockrise-replay: %s\n", problem);
            return exit_no_data;
        }
    } else {
        install_fake_game_data();
    }
    make_blank_popup_images();

    std::srand(options.seed);
    start_game(options.players);
    size_t next = 0;
    for (long tick = 1; tick <= options.ticks; tick++) {
        for (; next < events.size() && events[next].tick <= tick; next++)
            if (events[next].tick == tick)
                key[events[next].code] = events[next].down ? 1 : 0;
        const bool topped_out = update_players();
        update_popups();
        for (int i = 0; i < player_count; i++)
            std::printf("%s\n", player_line(static_cast<int>(tick), i + 1, players[i]).c_str());
        std::printf("%ld popups %d\n", tick,
                    static_cast<int>(std::distance(popup_list.begin(), popup_list.end())));
        if (topped_out)
            break;
    }
    end_game();
    clear_popups();
    return 0;
}
