// Renumbering TiMidity's instrument index for the library: what each tune's programs
// and drum notes end up naming.
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

#include "patch_index.h"

namespace {

using Numbered = std::map<int, std::string>;

// The library's reading of an index: instrument number -> file, and, inside the
// percussion block, drum note -> file.
struct Index {
    Numbered instruments, percussion;
    int blocks = 0;
};

Index read_index(const std::string& text)
{
    Index index;
    bool in_block = false;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, second, rest;
        if (!(words >> first) || first[0] == '#')
            continue;
        if (first == "129-256" || first == "end_multipatch") {
            in_block = first == "129-256";
            index.blocks += in_block;
            continue;
        }
        words >> second;
        EXPECT_FALSE(words >> rest) << "options left on: " << line;
        (in_block ? index.percussion : index.instruments)[std::stoi(first)] = second;
    }
    EXPECT_FALSE(in_block) << "percussion block left open";
    return index;
}

const char* freepats_like = R"(dir /usr/share/midi/freepats

# a comment
drumset 0

 35	Drum_000/035_Kick_1.pat amp=100
 38	Drum_000/038_Snare_1.pat 

bank 0

 0	Tone_000/000_Acoustic_Grand_Piano.pat amp=120 pan=center
 8	Tone_000/008_Celesta.pat
 127	Tone_000/127_Gunshot.pat
)";

} // namespace

// Programs are numbered from one; drums keep their notes inside one percussion block and never
// stand in for the instrument of their number.
TEST(PatchIndex, ProgramsAreNumberedFromOneAndDrumsOfKitZeroGoInOnePercussionBlock)
{
    const struct { const char* what; std::string timidity; Numbered instruments, percussion; int blocks; } rows[] = {
        {"freepats", freepats_like,
         {{1, "Tone_000/000_Acoustic_Grand_Piano.pat"}, {9, "Tone_000/008_Celesta.pat"}, {128, "Tone_000/127_Gunshot.pat"}},
         {{35, "Drum_000/035_Kick_1.pat"}, {38, "Drum_000/038_Snare_1.pat"}}, 1},
        {"other banks and kits are left out",
         "bank 0\n4 Tone_000/a.pat\nbank 1\n4 Tone_001/b.pat\ndrumset 8\n36 Drum_008/c.pat\ndrumset 0\n36 Drum_000/d.pat\n",
         {{5, "Tone_000/a.pat"}}, {{36, "Drum_000/d.pat"}}, 1},
        {"entries before any section are instruments", "0 piano\n", {{1, "piano"}}, {}, 0},
        {"impossible numbers and stray lines are skipped",
         "bank 0\n128 too_high\n99999999999 huge\n-1 negative\nsource other.cfg\n7\n12 # only a comment after the number\n3 fine\n",
         {{4, "fine"}}, {}, 0},
        {"a later entry replaces an earlier one", "bank 0\n2 old\n2 new\n", {{3, "new"}}, {}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Index index = read_index(gus_index_from_timidity(row.timidity));
        EXPECT_EQ(index.instruments, row.instruments);
        EXPECT_EQ(index.percussion, row.percussion);
        EXPECT_EQ(index.blocks, row.blocks);
    }
}
