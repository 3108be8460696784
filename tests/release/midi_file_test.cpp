// Writing tunes back out as Standard MIDI Files: what the library reads back must be what went in.
#include <allegro.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "midi_file.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Slots = std::vector<std::pair<int, Bytes>>;

// `count` notes, then the end of the track.
Bytes notes(int count)
{
    Bytes t;
    for (int i = 0; i < count; i++) {
        const auto note = static_cast<unsigned char>(40 + i % 40);
        t.insert(t.end(), {0x00, 0x90, note, 0x64, 0x60, 0x80, note, 0x00});
    }
    t.insert(t.end(), {0x00, 0xFF, 0x2F, 0x00});
    return t;
}

// A tune of `divisions` holding each track at its slot, saved to `path`.
bool save(const std::string& path, int divisions, const Slots& slots)
{
    MIDI midi{};
    midi.divisions = divisions;
    for (const auto& [slot, bytes] : slots) {
        midi.track[slot].data = const_cast<unsigned char*>(bytes.data());
        midi.track[slot].len = static_cast<int>(bytes.size());
    }
    return save_midi(path.c_str(), &midi);
}

const std::string path = std::string(testing::TempDir()) + "saved_tune.mid";

} // namespace

TEST(SavedTunes, ReadBackWithTheSameTimingAndTheirTracksInOrder)
{
    const Slots long_track = {{0, notes(10000)}};
    ASSERT_GT(long_track[0].second.size(), 65535u);
    // Slots with gaps, a division above 255 (a byte-order slip shows), a length above 16 bits.
    for (const auto& [divisions, slots] : {std::pair{480, Slots{{0, notes(3)}, {4, notes(7)}, {9, notes(1)}}},
                                           std::pair{96, long_track}}) {
        ASSERT_TRUE(save(path, divisions, slots));
        MIDI* back = load_midi(path.c_str());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->divisions, divisions);
        for (size_t i = 0; i < slots.size(); i++) {
            const auto& t = back->track[i];
            EXPECT_EQ(t.data ? Bytes(t.data, t.data + t.len) : Bytes{}, slots[i].second) << "track " << i;
        }
        EXPECT_EQ(back->track[slots.size()].data, nullptr);
        destroy_midi(back);
    }
    std::remove(path.c_str());
}

TEST(SavedTunes, RefuseWhatCannotMakeAFile)
{
    std::remove(path.c_str());
    EXPECT_FALSE(save(path, 96, {}));
    EXPECT_FALSE(exists(path.c_str()));
    EXPECT_FALSE(save_midi(path.c_str(), nullptr));
    EXPECT_FALSE(save("/nonexistent-folder/tune.mid", 96, {{0, notes(2)}}));
}
