// Blockrise: start-up, the opening starfield, then menu, game, name entry and table until
// the player quits, the farewell starfield and the saved table.
#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/colors.h"
#include "app/command_line.h"
#include "app/display.h"
#include "app/pads.h"
#include "app/quit.h"
#include "app/startup.h"
#include "net/protocol.h"
#include "replay/replay_store.h"
#include "replay/replay_text.h"
#include "scores/score_screens.h"
#include "scores/scores_file.h"
#include "screens/game_loop.h"
#include "screens/net_game.h"
#include "screens/settings.h"
#include "screens/starfield.h"
#include "screens/title.h"

namespace {

constexpr int exit_usage = 2;

// --help and --version answer without a display; anything unknown is refused before the
// library starts.
CommandLine answer_command_line(int argc, char** argv)
{
    CommandLine line;
    std::string problem;
    if (!parse_command_line(argc, argv, line, problem)) {
        std::fprintf(stderr, "blockrise: %s\n%s", problem.c_str(), usage_text());
        std::exit(exit_usage);
    }
    if (line.help || line.version) {
        std::fputs(line.help ? usage_text() : version_text(), stdout);
        std::exit(0);
    }
    return line;
}

void warn(const std::string& problem)
{
    std::fprintf(stderr, "blockrise: %s\n", problem.c_str());
}

// The settings file, with the command line's display choices over it.
Settings load_settings(const CommandLine& line)
{
    std::vector<std::string> warnings;
    Settings settings = read_settings(settings_file_name, warnings);
    for (const std::string& warning : warnings)
        warn(warning);
    if (line.mode_given)
        settings.display.mode = line.mode;
    if (line.scale_given) {
        settings.display.scale = line.scale;
        settings.display.scale_asked = true;
    }
    return settings;
}

void apply_sound_settings(const Settings& settings)
{
    if (settings.effects_volume >= 0 || settings.music_volume >= 0)
        set_volume(settings.effects_volume, settings.music_volume);
}

int player_count_of(MenuChoice choice)
{
    return choice == MenuChoice::one_player ? 1 : 2;
}

// Every game starts its own generator from one number of the run's sequence, which the
// clock seeded; a game is that number and its inputs.
uint32_t new_game_seed()
{
    return static_cast<uint32_t>(std::rand());
}

// A recording to watch is read, and refused, before anything is shown.
Replay read_replay_or_exit(const std::string& path)
{
    Replay replay;
    std::string problem;
    if (!read_replay_file(path, replay, problem)) {
        warn(problem);
        std::exit(1);
    }
    return replay;
}

// The game's replay is always the last, written before anything else can go wrong.
void save_game_replay(Replay& recording)
{
    recording.date = utc_date_now();
    std::string problem;
    if (!save_last_replay(recording, problem))
        warn(problem);
}

// Entries the game put in the table keep its replay for as long as they stay there.
void keep_game_replay(const Replay& recording, const HighScoreTable& table, const HighScoreEntry* entered, int count)
{
    std::string problem;
    std::vector<TableEntry> added;
    added.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; i++)
        added.push_back(TableEntry{entered[i].name, entered[i].score});
    if (!keep_replays(table, recording, added, problem))
        warn(problem);
}

// --replay: the recording through the game loop and its overlay; no names, no table.
void watch_replay(const ScreenIo& io, const Replay& replay, const Settings& settings, const PopupImages& popups)
{
    ScreenImages images;
    if (!make_screen_images(io, images))
        return;
    prepare_screen_images(images);
    GamePlan plan{replay.players, replay.seed, settings.controls, settings.low_power, &replay};
    GameState game;
    Replay again;
    play_game(io, plan, images.frame_buffer.get(), images.game_background.get(), popups, game, again);
}

// --host or --join: one game against a player on another machine; each player enters their
// own score into their own machine's table.
void network_round(const ScreenIo& io, const CommandLine& line, const Settings& settings, const PopupImages& popups,
                   HighScoreTable& table, ScoresFile& scores_file)
{
    ScreenImages images;
    if (!make_screen_images(io, images))
        return;
    prepare_screen_images(images);
    const NetPlan plan{line.host ? Role::host : Role::guest, line.join,
                       static_cast<uint16_t>(line.port ? line.port : default_port), new_game_seed(), settings.controls,
                       settings.low_power};
    NetResult result;
    if (!play_network_game(io, plan, images, popups, result))
        return;
    save_game_replay(result.recording);
    const int32_t own_score = result.game.players[result.local].score;
    HighScoreEntry entered[1];
    const int added = enter_high_scores(io, table, &own_score, 1, entered);
    save_scores(table, scores_file);
    keep_game_replay(result.recording, table, entered, added);
    show_high_scores(io, table);
}

} // namespace

int main(int argc, char** argv)
{
    const CommandLine line = answer_command_line(argc, argv);
    const Replay to_watch = line.replay.empty() ? Replay{} : read_replay_or_exit(line.replay);
    if (const char* problem = start_library())
        fail_start(problem);
    const Settings settings = load_settings(line);
    if (const char* problem = open_display(settings.display))
        fail_start(problem);
    make_colors();
    catch_quit_requests();
    apply_sound_settings(settings);
    start_pads();
    set_menu_pad(settings.controls.pads[CONTROLS_ONE_PLAYER]);
    if (const char* problem = load_game_data(datafile_name))
        fail_start(problem);
    HighScoreTable table{};
    ScoresFile scores_file;
    load_scores(table, scores_file);
    PopupImages popups;
    make_popup_images(popups);
    const ScreenIo io = screen_io();
    if (!line.replay.empty()) {
        watch_replay(io, to_watch, settings, popups);
        return 0;
    }

    // A player who asked for a network game is waiting for it: the starfield can wait.
    if (line.host || !line.join.empty())
        network_round(io, line, settings, popups, table, scores_file);
    else
        run_starfield(io);
    for (;;) {
        // The menu's and the game's images live for one round; without them the program
        // ends as if the player had quit.
        ScreenImages images;
        if (!make_screen_images(io, images))
            break;
        const MenuChoice choice = run_title(io, images);
        if (choice == MenuChoice::quit)
            break;
        const GamePlan plan{player_count_of(choice), new_game_seed(), settings.controls, settings.low_power};
        GameState game;
        Replay recording;
        if (!play_game(io, plan, images.frame_buffer.get(), images.game_background.get(), popups, game, recording))
            break;
        save_game_replay(recording);
        int32_t scores[max_players];
        for (int p = 0; p < game.player_count; p++)
            scores[p] = game.players[p].score;
        HighScoreEntry entered[max_players];
        const int added = enter_high_scores(io, table, scores, game.player_count, entered);
        save_scores(table, scores_file); // a lost session keeps what was entered
        keep_game_replay(recording, table, entered, added);
        show_high_scores(io, table);
        free_screen_images(images);
    }
    run_starfield(io); // the farewell
    save_scores(table, scores_file);
    return 0;
}
END_OF_MAIN()
