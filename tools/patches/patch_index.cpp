// Rewriting TiMidity's instrument index in the numbering the library's patch tools read.
#include "patch_index.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace {

constexpr int programs = 128;
constexpr const char* percussion_block = "129-256 begin_multipatch default blank";

enum class Section { instruments, percussion, other };

std::vector<std::string> words_of(const std::string& line)
{
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

bool is_number(const std::string& w)
{
    return !w.empty() && w.find_first_not_of("0123456789") == std::string::npos;
}

Section section_named(const std::vector<std::string>& words)
{
    const bool first = words.size() >= 2 && words[1] == "0";
    if (words[0] == "bank")
        return first ? Section::instruments : Section::other;
    return first ? Section::percussion : Section::other;
}

} // namespace

std::string gus_index_from_timidity(const std::string& timidity_index)
{
    std::map<int, std::string> instruments; // by program, 0-127
    std::map<int, std::string> percussion;  // by note, 0-127
    Section section = Section::instruments;

    std::istringstream in(timidity_index);
    std::string line;
    while (std::getline(in, line)) {
        const std::vector<std::string> words = words_of(line);
        if (words.empty())
            continue;
        if (words[0] == "bank" || words[0] == "drumset") {
            section = section_named(words);
            continue;
        }
        if (words.size() < 2 || !is_number(words[0]) || section == Section::other)
            continue;
        const int n = std::atoi(words[0].c_str());
        if (words[0].size() > 3 || n >= programs)
            continue;
        (section == Section::instruments ? instruments : percussion)[n] = words[1];
    }

    std::ostringstream out;
    out << "# freepats, renumbered for the library's DIGMID driver\n";
    for (const auto& [program, file] : instruments)
        out << program + 1 << ' ' << file << '\n';
    if (!percussion.empty()) {
        out << percussion_block << '\n';
        for (const auto& [note, file] : percussion)
            out << note << ' ' << file << '\n';
        out << "end_multipatch\n";
    }
    return out.str();
}
