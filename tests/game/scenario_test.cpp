// Plays the scenario files of scenarios/, one test each; scenarios/README.md tells their format.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <variant>

#include "game/game.h"

namespace {

const std::string action_names[action_count] = {"up", "down", "left", "right", "swap", "raise"};
using PlayerField = std::variant<int8_t Player::*, uint8_t Player::*, int16_t Player::*, uint16_t Player::*, int32_t Player::*>;
const std::map<std::string, PlayerField> player_fields = {{"score", &Player::score}, {"chain", &Player::chain},
    {"rise", &Player::rise}, {"rise_delay", &Player::rise_delay}, {"rise_countdown", &Player::rise_countdown},
    {"busy", &Player::busy}, {"topped_out", &Player::topped_out}};
const std::map<std::string, int8_t Cell::*> cell_fields = {{"color", &Cell::color}, {"state", &Cell::state},
    {"fall", &Cell::fall_offset}, {"slide", &Cell::slide_offset}, {"timer", &Cell::timer}};
// Colour and state are written as letters, the other cell values as numbers.
const std::map<std::string, std::string> cell_letters = {{"color", ".RGBYP"}, {"state", "-smchfr"}};

// A well's rows, drawn on the lines below it, join its line.
struct Line { int number; std::vector<std::string> words; };

// One whose lines cannot make a scenario fails with `error`.
struct Scenario {
    std::string name, file;
    int number;
    std::vector<Line> lines;
    std::string error;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.file << ":" << scenario.number; }

// Bad data, reported at the line being played; a broken expectation, at its own line.
[[noreturn]] void malformed(const std::string& what) { throw std::invalid_argument(what); }
struct Mismatch { int line; std::string what; };

template <class... Parts> std::string join(const Parts&... parts)
{
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

long long number(const std::string& text, long long low, long long high)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        malformed(join("not a number from ", low, " to ", high, ": ", text));
    return value;
}

template <class T> void assign(T& member, const std::string& text)
{
    member = static_cast<T>(number(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

std::pair<int, int> pair(const std::string& text, int first_high, int second_high)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos)
        malformed("not two numbers a,b: " + text);
    return {static_cast<int>(number(text.substr(0, comma), 0, first_high)), static_cast<int>(number(text.substr(comma + 1), 0, second_high))};
}

std::string letter(const std::string& name, int value)
{
    const std::string& letters = cell_letters.at(name);
    return value >= 0 && value < static_cast<int>(letters.size()) ? letters.substr(value, 1) : "?";
}

bool is_row(const std::string& text)
{
    return text.size() == well_cols && text.find_first_not_of(cell_letters.at("color")) == std::string::npos;
}

struct Expectation { int line, player; std::vector<std::string> words; };

// The game of the scenario being played, and what it must keep to on every tick.
struct Play {
    GameState game{};
    TickEvents events{};
    int players = 1, line = 0, expectations = 0;
    uint32_t seed = 1;
    bool started = false;
    std::vector<Expectation> always;
};

std::string events_text(const TickEvents& events)
{
    const char* const kinds[] = {"match", "top_out", "warning", "last_moment"}; // as EventKind
    std::string text;
    for (const GameEvent& e : std::vector<GameEvent>(events.list, events.list + events.count))
        text += join(text.empty() ? "" : ";", kinds[static_cast<int>(e.kind)],
                     e.kind == EventKind::match || e.kind == EventKind::top_out ? join(":p", +e.player) : "",
                     e.kind == EventKind::match ? join(":", +e.chain, "@", +e.row, ",", +e.col) : "");
    return text.empty() ? "none" : text;
}

// Newest first: player, chain, the cell it rises from, and the life it has left.
std::string popups_text(const PopupList& popups)
{
    std::string text;
    for (const Popup& p : std::vector<Popup>(popups.items, popups.items + popups.count))
        text += join(text.empty() ? "p" : ";p", +p.player, ":", +p.chain, "@", +p.row, ",", +p.col, "/", p.life);
    return text.empty() ? "none" : text;
}

// Everything a scenario can name, as it writes it; rows "row@a-b" are joined by '/'.
std::map<std::string, std::string> view(const Play& play, int index)
{
    const Player& p = play.game.players[index];
    int group_cells = 0, blocks = 0;
    for (int8_t g = p.groups; g != no_link; g = group_at(p, g).next)
        for (int8_t c = group_at(p, g).cells; c != no_link; c = cell_at(p, c).next)
            group_cells++;
    std::map<std::string, std::string> named = {{"cursor", join(+p.cursor_x, ",", +p.cursor_y)},
        {"events", events_text(play.events)}, {"popups", popups_text(play.game.popups)}, {"time_left", join(play.game.time_left)},
        {"groups", join(count_groups(p))}, {"group_cells", join(group_cells)}};
    for (const auto& [name, field] : player_fields)
        named[name] = std::visit([&](auto member) { return join(+(p.*member)); }, field);
    std::string rows[grid_rows], states[grid_rows];
    for (int row = 0; row < grid_rows; row++)
        for (int col = 0; col < well_cols; col++) {
            const Cell& cell = p.grid[row][col];
            blocks += cell.color != 0;
            rows[row] += letter("color", cell.color);
            states[row] += letter("state", cell.state);
            for (const auto& [name, field] : cell_fields)
                named[name + "@" + std::to_string(row) + "," + std::to_string(col)] =
                    cell_letters.count(name) ? letter(name, cell.*field) : std::to_string(cell.*field);
        }
    named["blocks"] = join(blocks);
    for (int first = 0; first < grid_rows; first++)
        for (int last = first; last < grid_rows; last++) {
            const std::string at = std::to_string(first) + (last > first ? "-" + std::to_string(last) : "");
            std::string& row_text = named["row@" + at] = rows[first];
            std::string& state_text = named["states@" + at] = states[first];
            for (int row = first + 1; row <= last; row++) {
                row_text += "/" + rows[row];
                state_text += "/" + states[row];
            }
        }
    return named;
}

void set(GameState& game, int index, const std::string& word)
{
    Player& p = game.players[index];
    const size_t equals = word.find('='), at = std::min(word.find('@'), equals);
    const std::string name = word.substr(0, at), value = word.substr(std::min(equals + 1, word.size()));
    const auto letters = cell_letters.find(name);
    if (equals == std::string::npos)
        malformed("not name=value: " + word);
    else if (const auto field = player_fields.find(name); field != player_fields.end())
        std::visit([&](auto member) { assign(p.*member, value); }, field->second);
    else if (name == "cursor")
        std::tie(p.cursor_x, p.cursor_y) = pair(value, last_cursor_x, well_rows - 1);
    else if (name == "time_left")
        assign(game.time_left, value);
    else if (!cell_fields.count(name) || at == equals)
        malformed("cannot set " + word.substr(0, equals));
    else if (letters != cell_letters.end() && (value.size() != 1 || letters->second.find(value) == std::string::npos))
        malformed("not one of " + letters->second + ": " + value);
    else {
        const auto [row, col] = pair(word.substr(at + 1, equals - at - 1), grid_rows - 1, well_cols - 1);
        int8_t& member = p.grid[row][col].*cell_fields.at(name);
        letters == cell_letters.end() ? assign(member, value) : void(member = static_cast<int8_t>(letters->second.find(value)));
    }
}

void check(const Play& play, const Expectation& e)
{
    const std::map<std::string, std::string> named = view(play, e.player);
    std::string found;
    for (const std::string& word : e.words) {
        const size_t equals = word.find('=');
        const auto actual = named.find(word.substr(0, equals));
        if (equals == std::string::npos || actual == named.end())
            malformed("not name=value for a name the scenarios know: " + word);
        if (actual->second != word.substr(equals + 1))
            found += join("\n  ", actual->first, " is ", actual->second, ", expected ", word.substr(equals + 1));
    }
    if (!found.empty())
        throw Mismatch{e.line, join("after tick ", play.game.ticks, ":", found)};
}

void tick(Play& play, const std::vector<std::string>& w)
{
    const bool counted = w.size() > 1 && std::isdigit(static_cast<unsigned char>(w[1][0]));
    const long long count = counted ? number(w[1], 1, 100000000) : 1;
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
            inputs[i - first].held |= action_bit(static_cast<Action>(at - std::begin(action_names)));
        }
    }
    for (long long t = 0; t < count; t++) {
        play.events = update_game(play.game, inputs);
        for (const Expectation& e : play.always)
            check(play, e);
    }
}

void play_line(Play& play, const Line& line)
{
    play.line = line.number;
    const bool named = line.words[0].size() == 2 && line.words[0][0] == 'p' && std::isdigit(static_cast<unsigned char>(line.words[0][1]));
    const int index = named ? line.words[0][1] - '0' : 0;
    const std::vector<std::string> w(line.words.begin() + named, line.words.end());
    const std::string verb = w.empty() ? "" : w[0];
    if ((verb == "players" || verb == "seed") && !play.started && w.size() == 2)
        return verb == "seed" ? assign(play.seed, w[1]) : void(play.players = static_cast<int>(number(w[1], 1, max_players)));
    if (!std::exchange(play.started, true))
        start_game(play.game, play.players, play.seed);
    if (index >= play.game.player_count)
        malformed(join("no player ", index));
    Player& p = play.game.players[index];
    if (verb == "well" && w.size() > 1 && w.size() <= grid_rows + 1 && std::all_of(w.begin() + 1, w.end(), is_row)) {
        std::fill(&p.grid[0][0], &p.grid[0][0] + grid_rows * well_cols, Cell{});
        for (size_t row = grid_rows + 1 - w.size(), i = 1; i < w.size(); row++, i++)
            for (int col = 0; col < well_cols; col++)
                p.grid[row][col].color = static_cast<int8_t>(cell_letters.at("color").find(w[i][col]));
    } else if (verb == "tick" && !named) {
        tick(play, w);
    } else if (verb == "set" && w.size() > 1) {
        for (size_t i = 1; i < w.size(); i++)
            set(play.game, index, w[i]);
    } else if ((verb == "expect" || verb == "always") && w.size() > 1) {
        const Expectation e{play.line, index, {w.begin() + 1, w.end()}};
        play.expectations++;
        check(play, e); // an `always` holds from its own line on
        if (verb == "always")
            play.always.push_back(e);
    } else {
        malformed("not a line of a scenario; players and seed come first, a well's 1 to 13 rows below it");
    }
}

std::vector<Scenario> load_scenarios()
{
    namespace fs = std::filesystem;
    std::set<fs::path> files; // in order of their names
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(SOURCE_DIR) / "tests/game/scenarios", error))
        if (entry.path().extension() == ".txt")
            files.insert(entry.path());
    std::vector<Scenario> all;
    const auto broken = [&](const std::string& file, int number, const std::string& what) {
        all.push_back(Scenario{join("malformed_", all.size()), file, number, {}, what});
    };
    if (files.empty())
        broken(SOURCE_DIR, 0, "no scenario files in tests/game/scenarios");
    for (const fs::path& path : files) {
        std::ifstream in(path);
        int number = 0;
        for (std::string text; std::getline(in, text);) {
            std::istringstream words(text.substr(0, text.find('#')));
            const Line line{++number, {std::istream_iterator<std::string>(words), {}}};
            const std::vector<std::string>& w = line.words;
            const auto same_name = [&](const Scenario& s) { return s.name == w[1]; };
            if (w.empty())
                continue;
            if (w[0] == "scenario" && w.size() == 2 && std::none_of(all.begin(), all.end(), same_name) &&
                std::all_of(w[1].begin(), w[1].end(), [](char c) { return std::isalnum(c) || c == '_'; }))
                all.push_back(Scenario{w[1], path.string(), number, {}, ""});
            else if (w[0] == "scenario")
                broken(path.string(), number, "scenario NAME, a name no other has, of letters, digits and _");
            else if (all.empty() || all.back().file != path.string())
                broken(path.string(), number, "a line before the first scenario");
            else if (is_row(w[0]) && !all.back().lines.empty())
                all.back().lines.back().words.insert(all.back().lines.back().words.end(), w.begin(), w.end());
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
    try {
        if (!s.error.empty())
            malformed(s.error);
        for (const Line& line : s.lines)
            play_line(play, line);
        if (play.expectations == 0) {
            play.line = s.number;
            malformed("a scenario that expects nothing");
        }
    } catch (const std::invalid_argument& e) {
        ADD_FAILURE_AT(s.file.c_str(), play.line ? play.line : s.number) << "malformed: " << e.what();
    } catch (const Mismatch& m) {
        ADD_FAILURE_AT(s.file.c_str(), m.line) << m.what;
    }
}

INSTANTIATE_TEST_SUITE_P(Game, Scenarios, testing::ValuesIn(load_scenarios()),
                         [](const testing::TestParamInfo<Scenario>& test) { return test.param.name; });

} // namespace
