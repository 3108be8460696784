// Where replays are kept: "replays/" beside the scores. last.replay is always the latest game;
// a game that enters the high-score table keeps its replay under a name of its own, and the
// index says which table entry it belongs to. The scores file itself knows nothing of them.
#pragma once

#include <string>
#include <vector>

#include "replay/replay.h"
#include "scores/table.h"

constexpr const char* replays_folder = "replays";
constexpr const char* last_replay_name = "last.replay";
constexpr const char* replay_index_name = "index";

// A table entry as the table shows it.
struct TableEntry {
    std::string name, score;
};

// "replays/<name>"
std::string replay_path(const std::string& name);
// The name a game's replay keeps once it is in the table: its date and seed.
std::string kept_replay_name(const Replay& replay);

// Writes the game as replays/last.replay, making the folder when it is missing.
bool save_last_replay(const Replay& replay, std::string& problem);

// After `table` took this game's `added` entries (none, one or two), keeps the game's replay
// under its own name and rewrites the index so that each line names an entry of the table:
// index lines of entries that fell off are dropped, and their replays deleted.
bool keep_replays(const HighScoreTable& table, const Replay& replay, const std::vector<TableEntry>& added,
                  std::string& problem);

// The replay of table entry `rank`, or "" when it has none.
std::string replay_of_entry(const HighScoreTable& table, int rank);
