// The replay file: a small text a person can read and diff.
//
//   blockrise replay 1
//   players 2
//   seed 1804289383
//   date 2026-12-07T04:50:12Z
//   clock 17
//   wells separate        only in a network game's replay: each well has its own generator
//   12 1 left+            a change: before tick 12, player 1's left went down
//   14 1 left-            and before tick 14 it came up
//   end 7200              the game ran 7200 ticks
//   player 1 1230
//   player 2 0 topped-out
#pragma once

#include <string>

#include "replay/replay.h"

// No game makes a file this big: 7200 ticks of every action of both players flipping.
constexpr size_t max_replay_bytes = 2 * 1024 * 1024;

std::string replay_text(const Replay& replay);

// Reads a replay from its text; false, with `problem` naming the line and what is wrong with
// it, for anything but a whole, consistent file of this version.
bool parse_replay(const std::string& text, Replay& replay, std::string& problem);

// The same from a file, which must be a regular file of at most max_replay_bytes; problems
// start with the file's name.
bool read_replay_file(const std::string& path, Replay& replay, std::string& problem);
// Now, as a replay dates its game: "YYYY-MM-DDTHH:MM:SSZ".
std::string utc_date_now();

// Writes the file whole or not at all (a temporary file beside it, then renamed).
bool write_replay_file(const std::string& path, const Replay& replay, std::string& problem);
