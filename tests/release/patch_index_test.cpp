// Renumbering TiMidity's instrument index for the library: what each tune's programs
// and drum notes end up naming.
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>

#include "patch_index.h"

namespace {

// The library's reading of an index: instrument number -> file, and, inside the
// percussion block, drum note -> file.
struct Index {
    std::map<int, std::string> instruments;
    std::map<int, std::string> percussion;
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
        if (first == "129-256") {
            in_block = true;
            index.blocks++;
            continue;
        }
        if (first == "end_multipatch") {
            in_block = false;
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

TEST(PatchIndex, ProgramsAreNumberedFromOne)
{
    const Index index = read_index(gus_index_from_timidity(freepats_like));
    EXPECT_EQ(index.instruments.at(1), "Tone_000/000_Acoustic_Grand_Piano.pat");
    EXPECT_EQ(index.instruments.at(9), "Tone_000/008_Celesta.pat");
    EXPECT_EQ(index.instruments.at(128), "Tone_000/127_Gunshot.pat");
    EXPECT_EQ(index.instruments.size(), 3u);
}

TEST(PatchIndex, DrumsKeepTheirNotesInsideOnePercussionBlock)
{
    const Index index = read_index(gus_index_from_timidity(freepats_like));
    EXPECT_EQ(index.blocks, 1);
    EXPECT_EQ(index.percussion.at(35), "Drum_000/035_Kick_1.pat");
    EXPECT_EQ(index.percussion.at(38), "Drum_000/038_Snare_1.pat");
    EXPECT_EQ(index.percussion.size(), 2u);
    // A drum never stands in for the instrument of the same number.
    EXPECT_EQ(index.instruments.count(35) + index.instruments.count(36), 0u);
}

TEST(PatchIndex, OtherBanksAndKitsAreLeftOut)
{
    const Index index = read_index(gus_index_from_timidity(
        "bank 0\n4 Tone_000/a.pat\nbank 1\n4 Tone_001/b.pat\n"
        "drumset 8\n36 Drum_008/c.pat\ndrumset 0\n36 Drum_000/d.pat\n"));
    EXPECT_EQ(index.instruments, (std::map<int, std::string>{{5, "Tone_000/a.pat"}}));
    EXPECT_EQ(index.percussion, (std::map<int, std::string>{{36, "Drum_000/d.pat"}}));
}

TEST(PatchIndex, EntriesBeforeAnySectionAreInstruments)
{
    const Index index = read_index(gus_index_from_timidity("0 piano\n"));
    EXPECT_EQ(index.instruments, (std::map<int, std::string>{{1, "piano"}}));
    EXPECT_EQ(index.blocks, 0);
}

TEST(PatchIndex, ImpossibleNumbersAndStrayLinesAreSkipped)
{
    const Index index = read_index(gus_index_from_timidity(
        "bank 0\n128 too_high\n99999999999 huge\n-1 negative\nsource other.cfg\n"
        "7\n12 # only a comment after the number\n3 fine\n"));
    EXPECT_EQ(index.instruments, (std::map<int, std::string>{{4, "fine"}}));
}

TEST(PatchIndex, ALaterEntryReplacesAnEarlierOne)
{
    const Index index = read_index(gus_index_from_timidity("bank 0\n2 old\n2 new\n"));
    EXPECT_EQ(index.instruments, (std::map<int, std::string>{{3, "new"}}));
}
