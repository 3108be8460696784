// Where replays are kept, and the index that ties them to the high-score table.
#include "replay/replay_store.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

#include "replay/replay_text.h"

namespace {

constexpr size_t max_index_lines = 64;

struct IndexLine {
    std::string file, score, name; // the name last: it may hold anything but a line break
};

// Only plain names of files in the folder: an edited index must not delete anything else.
bool plain_replay_name(const std::string& name)
{
    const std::string suffix = ".replay";
    return name.size() > suffix.size() && name.size() < 100 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 && name != last_replay_name &&
           name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._-") ==
               std::string::npos &&
           name[0] != '.';
}

std::vector<IndexLine> read_index()
{
    std::vector<IndexLine> lines;
    std::ifstream in(replay_path(replay_index_name));
    for (std::string line; lines.size() < max_index_lines && std::getline(in, line);) {
        const size_t first = line.find('\t'), second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos)
            continue;
        IndexLine entry{line.substr(0, first), line.substr(first + 1, second - first - 1), line.substr(second + 1)};
        if (plain_replay_name(entry.file))
            lines.push_back(entry);
    }
    return lines;
}

bool write_index(const std::vector<IndexLine>& lines, std::string& problem)
{
    const std::string path = replay_path(replay_index_name), temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        for (const IndexLine& line : lines)
            out << line.file << '\t' << line.score << '\t' << line.name << '\n';
        out.flush();
        if (!out) {
            problem = temp + ": cannot be written";
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        problem = path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool make_folder(std::string& problem)
{
    if (mkdir(replays_folder, 0755) == 0 || errno == EEXIST)
        return true;
    problem = std::string(replays_folder) + ": " + std::strerror(errno);
    return false;
}

// For each table entry in order, the first unclaimed index line with its name and score.
std::vector<IndexLine> lines_of_table(const HighScoreTable& table, std::vector<IndexLine> lines)
{
    std::vector<IndexLine> kept;
    for (int rank = 0; rank < high_score_count; rank++) {
        const auto match = std::find_if(lines.begin(), lines.end(), [&](const IndexLine& line) {
            return line.name == table.name_texts[rank] && line.score == table.score_texts[rank];
        });
        if (match == lines.end())
            continue;
        kept.push_back(*match);
        lines.erase(match);
    }
    return kept;
}

} // namespace

std::string replay_path(const std::string& name)
{
    return std::string(replays_folder) + "/" + name;
}

std::string kept_replay_name(const Replay& replay)
{
    std::string stamp;
    for (char c : replay.date)
        if (c >= '0' && c <= '9')
            stamp += c;
    return stamp + "-" + std::to_string(replay.seed) + ".replay";
}

bool save_last_replay(const Replay& replay, std::string& problem)
{
    return make_folder(problem) && write_replay_file(replay_path(last_replay_name), replay, problem);
}

bool keep_replays(const HighScoreTable& table, const Replay& replay, const std::vector<TableEntry>& added,
                  std::string& problem)
{
    std::vector<IndexLine> lines = read_index();
    if (added.empty() && lines.empty())
        return true;
    if (!added.empty()) {
        const std::string name = kept_replay_name(replay);
        if (!make_folder(problem) || !write_replay_file(replay_path(name), replay, problem))
            return false;
        for (const TableEntry& entry : added)
            lines.push_back(IndexLine{name, entry.score, entry.name});
    }
    const std::vector<IndexLine> kept = lines_of_table(table, lines);
    if (!write_index(kept, problem))
        return false;
    for (const IndexLine& line : lines) {
        const bool still_used = std::any_of(kept.begin(), kept.end(), [&](const IndexLine& k) { return k.file == line.file; });
        if (!still_used)
            std::remove(replay_path(line.file).c_str());
    }
    return true;
}

std::string replay_of_entry(const HighScoreTable& table, int rank)
{
    const std::vector<IndexLine> kept = lines_of_table(table, read_index());
    for (const IndexLine& line : kept)
        if (rank >= 0 && rank < high_score_count && line.name == table.name_texts[rank] &&
            line.score == table.score_texts[rank])
            return line.file;
    return "";
}
