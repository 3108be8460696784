// Reading the melody notation into timed MIDI notes.
#include "score_notation.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

int key_of(const std::string& name)
{
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        return -1;
    int key = steps[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') {
        key++;
        i++;
    } else if (name[i] == 'b') {
        key--;
        i++;
    }
    if (i >= name.size())
        return -1;
    const int octave = std::atoi(name.c_str() + i);
    return key + 12 * (octave + 1);
}

uint32_t add_line(MidiTrack& t, uint8_t channel, uint32_t start, const std::string& line,
                  int velocity, double legato)
{
    std::istringstream in(line);
    std::string token;
    uint32_t at = start;
    while (in >> token) {
        const size_t slash = token.find('/');
        const std::string name = token.substr(0, slash);
        const int eighths = slash == std::string::npos ? 1 : std::atoi(token.c_str() + slash + 1);
        const uint32_t length = static_cast<uint32_t>(eighths) * ticks_per_eighth;
        const int key = key_of(name);
        if (key >= 0)
            add_note(t, channel, at, static_cast<uint32_t>(std::lround(length * legato)), key, velocity);
        at += length;
    }
    return at;
}

std::vector<int> chord_keys(const std::string& chord)
{
    std::istringstream in(chord);
    std::vector<int> keys;
    std::string name;
    while (in >> name)
        if (const int k = key_of(name); k >= 0)
            keys.push_back(k);
    return keys;
}
