// Plays the scenario files of scenarios/, one test each; scenarios/README.md tells their format.
#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include "game/game.h"

namespace {

const std::string color_letters = ".RGBYP", state_letters = "-smchfr";
const std::string action_names[action_count] = {"up", "down", "left", "right", "swap", "raise"};

struct Line { int number; std::vector<std::string> words; };
struct Scenario { std::string name, file; std::vector<Line> lines; }; // from its "scenario NAME" line on

// A broken expectation names its own line; bad data (line 0) the line being played.
struct Failure { int line; std::string what; };
[[noreturn]] void malformed(const std::string& what) { throw Failure{0, "malformed: " + what}; }

template <class... Parts> std::string join(const Parts&... parts) { std::ostringstream out; (out << ... << parts); return out.str(); }

long long number(const std::string& text, long long low, long long high)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        malformed(join("not a number from ", low, " to ", high, ": ", text));
    return value;
}

// "a,b" for a cell or the cursor; "a-b", or "a" alone, for rows.
std::pair<int, int> two_numbers(const std::string& text, char between, int first_high, int second_high)
{
    const size_t at = text.find(between);
    if (at == std::string::npos && between == ',')
        malformed("not two numbers a,b: " + text);
    return {int(number(text.substr(0, at), 0, first_high)), int(number(text.substr(at + 1), 0, second_high))};
}

bool is_row(const std::string& text) { return text.size() == well_cols && text.find_first_not_of(color_letters) == std::string::npos; }

struct Play {
    GameState game{};
    TickEvents events{};
    int players = 1, line = 0, expectations = 0;
    uint32_t seed = 1;
    bool started = false;
};

// Calls use(member, letters) with the number that `key` names; `letters` spell its values when
// they are not written as digits.
template <class Game, class Use> void with_number(Game& game, int index, const std::string& key, Use&& use)
{
    auto& p = game.players[index];
    const size_t at = key.find('@');
    const std::string name = key.substr(0, at);
    if (at != std::string::npos) {
        const auto [row, col] = two_numbers(key.substr(at + 1), ',', grid_rows - 1, well_cols - 1);
        auto& cell = p.grid[row][col];
        return name == "state" ? use(cell.state, state_letters) : name == "fall" ? use(cell.fall_offset, "")
             : name == "slide" ? use(cell.slide_offset, "") : malformed("nothing is named " + key);
    }
    return name == "score" ? use(p.score, "") : name == "chain" ? use(p.chain, "") : name == "rise" ? use(p.rise, "")
         : name == "rise_delay" ? use(p.rise_delay, "") : name == "rise_countdown" ? use(p.rise_countdown, "")
         : name == "busy" ? use(p.busy, "") : name == "topped_out" ? use(p.topped_out, "")
         : name == "time_left" ? use(game.time_left, "") : malformed("nothing is named " + key);
}

// What a scenario reads under `key`, written as it writes it.
std::string value_of(const Play& play, int index, const std::string& key)
{
    const Player& p = play.game.players[index];
    const char* const kinds[] = {"match", "top_out", "warning", "last_moment"}; // as EventKind
    std::string text;
    if (key == "events")
        for (const GameEvent& e : std::vector<GameEvent>(play.events.list, play.events.list + play.events.count))
            text += join(text.empty() ? "" : ";", kinds[int(e.kind)], e.kind <= EventKind::top_out ? join(":p", +e.player) : "",
                         e.kind == EventKind::match ? join(":", +e.chain, "@", +e.row, ",", +e.col) : "");
    else if (key == "popups")
        for (const Popup& u : std::vector<Popup>(play.game.popups.items, play.game.popups.items + play.game.popups.count))
            text += join(text.empty() ? "p" : ";p", +u.player, ":", +u.chain, "@", +u.row, ",", +u.col, "/", u.life);
    else if (key == "cursor" || key == "groups")
        return key == "cursor" ? join(+p.cursor_x, ",", +p.cursor_y) : join(count_groups(p));
    else if (key == "blocks" || key.rfind("row@", 0) == 0 || key.rfind("states@", 0) == 0) {
        const auto [first, last] = key == "blocks" ? std::pair(0, grid_rows - 1)
                                                   : two_numbers(key.substr(key.find('@') + 1), '-', grid_rows - 1, grid_rows - 1);
        for (int row = first; row <= last; row++)
            for (int col = 0; col < well_cols; col++)
                text += join(row > first && col == 0 ? "/" : "",
                             key[0] == 's' ? state_letters.at(p.grid[row][col].state) : color_letters.at(p.grid[row][col].color));
        return key == "blocks" ? join(std::count_if(text.begin(), text.end(), [](char c) { return isalpha(c); })) : text;
    } else
        with_number(play.game, index, key, [&](auto member, const std::string& letters) {
            text = letters.empty() ? join(+member) : std::string(1, letters.at(member));
        });
    return text.empty() ? "none" : text;
}

// The words after the verb, "name=value" each: `set` changes them, `expect` compares.
void settings(Play& play, int index, const Line& line, bool set)
{
    std::string found;
    Player& p = play.game.players[index];
    for (auto word = line.words.begin() + 1; word != line.words.end(); ++word) {
        const size_t equals = word->find('=');
        const std::string key = word->substr(0, equals), value = word->substr(equals + 1);
        if (equals == std::string::npos)
            malformed("not name=value: " + *word);
        if (const std::string actual = set ? value : value_of(play, index, key); actual != value)
            found += join("\n  ", key, " is ", actual, ", expected ", value);
        else if (set && key == "cursor")
            std::tie(p.cursor_x, p.cursor_y) = two_numbers(value, ',', last_cursor_x, well_rows - 1);
        else if (set)
            with_number(play.game, index, key, [&](auto& member, const std::string& letters) {
                using Number = std::remove_reference_t<decltype(member)>;
                const size_t letter = value.size() == 1 ? letters.find(value) : std::string::npos;
                if (!letters.empty() && letter == std::string::npos)
                    malformed("not one of " + letters + ": " + value);
                const long long low = std::numeric_limits<Number>::min(), high = std::numeric_limits<Number>::max();
                member = Number(letters.empty() ? number(value, low, high) : letter);
            });
    }
    if (!found.empty())
        throw Failure{line.number, join("after tick ", play.game.ticks, ":", found)};
}

void tick(Play& play, const std::vector<std::string>& w)
{
    const bool counted = w.size() > 1 && std::isdigit(static_cast<unsigned char>(w[1][0]));
    const size_t first = counted ? 2 : 1;
    if (w.size() - first > play.game.player_count)
        malformed("tick [count] [the held actions of each player in turn, as a+b or -]");
    TickInputs inputs{};
    for (size_t i = first; i < w.size(); i++) {
        std::istringstream actions(w[i] == "-" ? "" : w[i]);
        for (std::string name; std::getline(actions, name, '+');) {
            const auto at = std::find(std::begin(action_names), std::end(action_names), name);
            if (at == std::end(action_names))
                malformed("no action is named " + name);
            inputs[i - first].held |= action_bit(Action(at - std::begin(action_names)));
        }
    }
    for (long long t = 0, count = counted ? number(w[1], 1, 100000000) : 1; t < count; t++)
        play.events = update_game(play.game, inputs);
}

void play_line(Play& play, Line line)
{
    play.line = line.number;
    std::vector<std::string>& w = line.words;
    const bool named = w[0] == "p0" || w[0] == "p1";
    const int index = w[0] == "p1";
    if (named)
        w.erase(w.begin());
    const std::string verb = w.empty() ? "" : w[0];
    if ((verb == "players" || verb == "seed") && !play.started && w.size() == 2)
        return verb == "seed" ? void(play.seed = uint32_t(number(w[1], 0, UINT32_MAX))) : void(play.players = int(number(w[1], 1, max_players)));
    if (!std::exchange(play.started, true))
        start_game(play.game, play.players, play.seed);
    if (index >= play.game.player_count)
        malformed(join("no player ", index));
    Cell (&grid)[grid_rows][well_cols] = play.game.players[index].grid;
    if (verb == "well" && w.size() > 1 && w.size() <= grid_rows + 1 && std::all_of(w.begin() + 1, w.end(), is_row)) {
        std::fill(&grid[0][0], &grid[0][0] + grid_rows * well_cols, Cell{});
        for (size_t row = grid_rows + 1 - w.size(), i = 1; i < w.size(); row++, i++)
            for (int col = 0; col < well_cols; col++)
                grid[row][col].color = int8_t(color_letters.find(w[i][col]));
    } else if (verb == "tick" && !named) {
        tick(play, w);
    } else if ((verb == "set" || verb == "expect") && w.size() > 1) {
        play.expectations += verb == "expect";
        settings(play, index, line, verb == "set");
    } else {
        malformed("not a line of a scenario; players and seed come first, a well's 1 to 13 rows below it");
    }
}

// A scenario starts at its "scenario NAME" line, which it keeps; a row continues the line above.
std::vector<Scenario> load_scenarios()
{
    namespace fs = std::filesystem;
    std::set<fs::path> files; // in order of their names
    for (const auto& entry : fs::directory_iterator(fs::path(SOURCE_DIR) / "tests/game/scenarios"))
        if (entry.path().extension() == ".txt")
            files.insert(entry.path());
    std::vector<Scenario> all;
    for (const fs::path& path : files) {
        std::ifstream in(path);
        int number = 0;
        for (std::string text; std::getline(in, text);) {
            std::istringstream words(text.substr(0, text.find('#')));
            const Line line{++number, {std::istream_iterator<std::string>(words), {}}};
            if (line.words.empty())
                continue;
            if (line.words[0] == "scenario" || all.empty() || all.back().file != path.string())
                all.push_back(Scenario{line.words.size() == 2 && line.words[0] == "scenario" ? line.words[1] : join("malformed_", all.size()),
                                       path.string(), {}});
            if (is_row(line.words[0]) && !all.back().lines.empty())
                all.back().lines.back().words.insert(all.back().lines.back().words.end(), line.words.begin(), line.words.end());
            else
                all.back().lines.push_back(line);
        }
    }
    return all;
}

struct Scenarios : testing::TestWithParam<Scenario> {};

TEST_P(Scenarios, Play)
{
    const Scenario& s = GetParam();
    Play play;
    play.line = s.lines[0].number;
    try {
        if (s.lines[0].words[0] != "scenario" || s.lines[0].words.size() != 2)
            malformed("a scenario starts with scenario NAME");
        std::for_each(s.lines.begin() + 1, s.lines.end(), [&](const Line& line) { play_line(play, line); });
        if (play.expectations == 0)
            malformed("a scenario that expects nothing");
    } catch (const Failure& f) {
        ADD_FAILURE_AT(s.file.c_str(), f.line ? f.line : play.line) << f.what;
    }
}

// gtest itself refuses a name used twice, or one of other characters than letters, digits and _.
INSTANTIATE_TEST_SUITE_P(Game, Scenarios, testing::ValuesIn(load_scenarios()),
                         [](const testing::TestParamInfo<Scenario>& test) { return test.param.name; });

TEST(ScenarioFiles, AreFound) { EXPECT_GT(load_scenarios().size(), 40u); }

} // namespace
