// Scores files for the tests: entries written out as lines, files and folders looked into.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "scores/table.h"

using Entries = std::vector<std::pair<std::string, std::string>>; // name, score text

// Ten entries "n0".."n9" scoring 100, 90, ... 10.
inline Entries sample_entries()
{
    Entries entries;
    for (int i = 0; i < high_score_count; i++)
        entries.emplace_back("n" + std::to_string(i), std::to_string(100 - 10 * i));
    return entries;
}

inline Entries default_entries()
{
    return Entries(high_score_count, {"Pelmorix", "0"});
}

// `entries` with one more at `rank`, the last one dropped.
inline Entries with_entry(Entries entries, int rank, const std::string& name, const std::string& score)
{
    entries.insert(entries.begin() + rank, {name, score});
    entries.resize(high_score_count);
    return entries;
}

inline std::string text_of(const Entries& entries)
{
    std::string text;
    for (const auto& [name, score] : entries)
        text += name + "\n" + score + "\n";
    return text;
}

inline HighScoreTable table_of(const Entries& entries)
{
    HighScoreTable table = {};
    for (size_t i = 0; i < entries.size(); i++) {
        copy_field(table.name_texts[i], entries[i].first.c_str());
        copy_field(table.score_texts[i], entries[i].second.c_str());
    }
    return table;
}

inline std::string file_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// All zero when there is nothing.
inline struct stat lstat_of(const std::string& path)
{
    struct stat info = {};
    if (lstat(path.c_str(), &info) != 0)
        info = {};
    return info;
}

// Every path under the current folder, links not followed.
inline std::set<std::string> folder_listing()
{
    std::set<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
        paths.insert(entry.path().lexically_relative(".").string());
    return paths;
}
