// Writing tunes back out as Standard MIDI Files: what the library reads back must be what went in.
#include <allegro.h>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "midi_file.h"

namespace {

// A tune assembled in memory, with tracks at the given slots holding the given bytes.
struct TestTune {
    MIDI midi{};
    std::vector<std::vector<unsigned char>> tracks;

    TestTune(int divisions, const std::vector<std::pair<int, std::vector<unsigned char>>>& slots)
    {
        midi.divisions = divisions;
        tracks.reserve(slots.size());
        for (const auto& [slot, bytes] : slots) {
            tracks.push_back(bytes);
            midi.track[slot].data = tracks.back().data();
            midi.track[slot].len = static_cast<int>(tracks.back().size());
        }
    }
};

std::vector<unsigned char> notes(int count)
{
    std::vector<unsigned char> t;
    for (int i = 0; i < count; i++) {
        const unsigned char note = static_cast<unsigned char>(40 + i % 40);
        t.insert(t.end(), {0x00, 0x90, note, 0x64, 0x60, 0x80, note, 0x00});
    }
    t.insert(t.end(), {0x00, 0xFF, 0x2F, 0x00});
    return t;
}

std::vector<unsigned char> track_bytes(const MIDI* m, int slot)
{
    const unsigned char* d = m->track[slot].data;
    return d ? std::vector<unsigned char>(d, d + m->track[slot].len) : std::vector<unsigned char>{};
}

std::string temp_path(const char* name)
{
    return std::string(::testing::TempDir()) + name;
}

} // namespace

TEST(SavedTunes, ReadBackWithTheSameTimingAndTracksInOrder)
{
    // Slots with gaps between them, and a division above 255 to catch a byte-order slip.
    TestTune tune(480, {{0, notes(3)}, {4, notes(7)}, {9, notes(1)}});
    const std::string path = temp_path("round_trip.mid");
    ASSERT_TRUE(save_midi(path.c_str(), &tune.midi));

    MIDI* back = load_midi(path.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->divisions, 480);
    EXPECT_EQ(track_bytes(back, 0), tune.tracks[0]);
    EXPECT_EQ(track_bytes(back, 1), tune.tracks[1]);
    EXPECT_EQ(track_bytes(back, 2), tune.tracks[2]);
    EXPECT_EQ(back->track[3].data, nullptr);
    destroy_midi(back);
    std::remove(path.c_str());
}

TEST(SavedTunes, KeepTracksLongerThanSixteenBitsOfLength)
{
    TestTune tune(96, {{0, notes(10000)}});
    ASSERT_GT(tune.tracks[0].size(), 65535u);
    const std::string path = temp_path("long.mid");
    ASSERT_TRUE(save_midi(path.c_str(), &tune.midi));

    MIDI* back = load_midi(path.c_str());
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(track_bytes(back, 0), tune.tracks[0]);
    destroy_midi(back);
    std::remove(path.c_str());
}

TEST(SavedTunes, RefuseWhatCannotMakeAFile)
{
    TestTune empty(96, {});
    const std::string path = temp_path("empty.mid");
    std::remove(path.c_str());
    EXPECT_FALSE(save_midi(path.c_str(), &empty.midi));
    EXPECT_FALSE(exists(path.c_str()));
    EXPECT_FALSE(save_midi(path.c_str(), nullptr));

    TestTune tune(96, {{0, notes(2)}});
    EXPECT_FALSE(save_midi("/nonexistent-folder/tune.mid", &tune.midi));
}
