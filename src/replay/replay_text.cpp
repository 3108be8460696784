// The replay file: writing it, and reading it back without trusting a byte of it.
#include "replay/replay_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* format_name = "blockrise replay";
constexpr const char* action_names[action_count] = {"up", "down", "left", "right", "swap", "raise"};
constexpr size_t max_line = 100;
constexpr size_t max_date = 40;
constexpr const char* topped_out_word = "topped-out";
// Written only for a game of separate wells, so every other replay reads as it always did.
constexpr const char* separate_wells_line = "wells separate";

// The lines of a text, one at a time, counting them for messages.
struct Lines {
    explicit Lines(const std::string& text) : in(text) {}
    std::istringstream in;
    int number = 0;
    std::string line;

    bool next()
    {
        if (!std::getline(in, line))
            return false;
        number++;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return true;
    }
    std::vector<std::string> words() const
    {
        std::istringstream split(line);
        std::vector<std::string> out;
        for (std::string word; split >> word;)
            out.push_back(word);
        return out;
    }
};

bool number_in(const std::string& text, long long low, long long high, long long& value)
{
    if (text.empty() || text.size() > 11 || text.find_first_not_of("-0123456789") != std::string::npos)
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

int action_of(const std::string& name)
{
    for (int a = 0; a < action_count; a++)
        if (name == action_names[a])
            return a;
    return -1;
}

struct Parser {
    Lines lines;
    Replay& replay;
    std::string& problem;

    bool fail(const std::string& what)
    {
        problem = "line " + std::to_string(lines.number) + ": " + what;
        return false;
    }
    // A header line "KEY VALUE" with VALUE a number in range.
    bool header_number(const char* key, long long low, long long high, long long& value)
    {
        if (!lines.next())
            return fail(std::string("the file ends before its \"") + key + "\" line");
        const std::vector<std::string> w = lines.words();
        if (w.size() != 2 || w[0] != key || !number_in(w[1], low, high, value))
            return fail(std::string("expected \"") + key + "\" and a number from " + std::to_string(low) + " to " +
                        std::to_string(high));
        return true;
    }
    bool magic()
    {
        if (!lines.next() || lines.line.rfind(format_name, 0) != 0)
            return fail("not a Blockrise replay");
        const std::vector<std::string> w = lines.words();
        long long version = 0;
        if (w.size() != 3 || !number_in(w[2], 0, 999999, version))
            return fail("not a Blockrise replay");
        if (version != replay_format_version)
            return fail("a replay of format " + w[2] + ", which this version does not read (it reads " +
                        std::to_string(replay_format_version) + ")");
        return true;
    }
    bool header()
    {
        long long players = 0, seed = 0, clock = 0;
        if (!magic() || !header_number("players", 1, max_players, players) ||
            !header_number("seed", 0, UINT32_MAX, seed))
            return false;
        if (!lines.next())
            return fail("the file ends before its \"date\" line");
        if (lines.line.rfind("date ", 0) != 0 || lines.line.size() > 5 + max_date)
            return fail("expected \"date\" and when the game was played");
        replay.date = lines.line.substr(5);
        if (!header_number("clock", 0, clock_phase_cycle - 1, clock))
            return false;
        replay.players = static_cast<int>(players);
        replay.seed = static_cast<uint32_t>(seed);
        replay.clock_phase = static_cast<uint8_t>(clock);
        return true;
    }
    // Changes up to the "end" line; each must flip what its player held, in tick order. The
    // wells' line, if any, comes first.
    bool changes()
    {
        TickInputs held{};
        for (bool first = true;; first = false) {
            if (!lines.next())
                return fail("the file ends before its \"end\" line");
            if (first && lines.line == separate_wells_line) {
                replay.separate_wells = true;
                continue;
            }
            const std::vector<std::string> w = lines.words();
            long long tick = 0, player = 0;
            if (w.size() == 2 && w[0] == "end") {
                const int32_t last = replay.changes.empty() ? 0 : replay.changes.back().tick;
                if (!number_in(w[1], last, game_ticks, tick))
                    return fail("the end tick must be from the last change's tick to " + std::to_string(game_ticks));
                replay.end_tick = static_cast<int32_t>(tick);
                return true;
            }
            const char sign = w.size() == 3 && !w[2].empty() ? w[2].back() : '?';
            const std::string name = w.size() == 3 ? w[2].substr(0, w[2].size() - 1) : "";
            const int action = action_of(name);
            if (action < 0 || !number_in(w[0], 1, game_ticks, tick) || !number_in(w[1], 1, replay.players, player) ||
                (sign != '+' && sign != '-'))
                return fail("expected \"TICK PLAYER ACTION+\", \"TICK PLAYER ACTION-\" or \"end TICK\"");
            if (!replay.changes.empty() && tick < replay.changes.back().tick)
                return fail("the ticks go backwards");
            const bool down = sign == '+';
            PlayerInput& input = held[player - 1];
            if (is_held(input, static_cast<Action>(action)) == down)
                return fail("the " + name + " action of player " + w[1] + " is already " + (down ? "down" : "up"));
            input.held = static_cast<uint8_t>(input.held ^ action_bit(static_cast<Action>(action)));
            replay.changes.push_back(InputChange{static_cast<int32_t>(tick), static_cast<uint8_t>(player - 1),
                                                 static_cast<uint8_t>(action), down});
        }
    }
    bool footer()
    {
        for (int p = 0; p < replay.players; p++) {
            if (!lines.next())
                return fail("the file ends before the score of player " + std::to_string(p + 1));
            const std::vector<std::string> w = lines.words();
            long long number = 0, score = 0;
            const bool topped = w.size() == 4 && w[3] == topped_out_word;
            if ((w.size() != 3 && !topped) || w[0] != "player" || !number_in(w[1], p + 1, p + 1, number) ||
                !number_in(w[2], INT32_MIN, INT32_MAX, score))
                return fail("expected \"player " + std::to_string(p + 1) + " SCORE\", then \"topped-out\" if so");
            replay.scores[p] = static_cast<int32_t>(score);
            replay.topped_out[p] = topped;
        }
        while (lines.next())
            if (!lines.words().empty())
                return fail("more follows the last player's score");
        return true;
    }
};

} // namespace

std::string replay_text(const Replay& replay)
{
    std::ostringstream out;
    out << format_name << ' ' << replay_format_version << '\n'
        << "players " << replay.players << '\n'
        << "seed " << replay.seed << '\n'
        << "date " << replay.date << '\n'
        << "clock " << static_cast<int>(replay.clock_phase) << '\n';
    if (replay.separate_wells)
        out << separate_wells_line << '\n';
    for (const InputChange& change : replay.changes)
        out << change.tick << ' ' << change.player + 1 << ' ' << action_names[change.action]
            << (change.down ? '+' : '-') << '\n';
    out << "end " << replay.end_tick << '\n';
    for (int p = 0; p < replay.players; p++)
        out << "player " << p + 1 << ' ' << replay.scores[p] << (replay.topped_out[p] ? " topped-out" : "") << '\n';
    return out.str();
}

bool parse_replay(const std::string& text, Replay& replay, std::string& problem)
{
    replay = Replay{};
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (end - start > max_line) {
            problem = "a line is longer than any a replay has";
            return false;
        }
    }
    if (text.find('\0') != std::string::npos) {
        problem = "holds bytes no replay has";
        return false;
    }
    Parser parser{Lines(text), replay, problem};
    return parser.header() && parser.changes() && parser.footer();
}

bool read_replay_file(const std::string& path, Replay& replay, std::string& problem)
{
    // Opened without blocking and checked before reading: a FIFO or a device must not hang us.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    std::string text;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok)
        problem = path + ": not a regular file";
    else if (static_cast<size_t>(info.st_size) > max_replay_bytes) {
        problem = path + ": too large to be a replay (" + std::to_string(info.st_size) + " bytes)";
        ok = false;
    } else {
        char block[16384];
        ssize_t got;
        while ((got = read(fd, block, sizeof block)) > 0 && text.size() <= max_replay_bytes)
            text.append(block, static_cast<size_t>(got));
        if (got < 0 || text.size() > max_replay_bytes) {
            problem = path + (got < 0 ? ": cannot be read" : ": too large to be a replay");
            ok = false;
        }
    }
    close(fd);
    if (ok && !parse_replay(text, replay, problem)) {
        problem = path + ": " + problem;
        ok = false;
    }
    return ok;
}

std::string utc_date_now()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

bool write_replay_file(const std::string& path, const Replay& replay, std::string& problem)
{
    const std::string text = replay_text(replay);
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        problem = path + ": " + std::strerror(errno);
        return false;
    }
    bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && fchmodat(AT_FDCWD, temp.c_str(), 0644, 0) == 0 && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        problem = path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
    }
    return ok;
}
