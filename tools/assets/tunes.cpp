// The two tunes: "Drift" for the starfield and "Rise Up" for a game, with melody, bass and drums.
#include "tunes.h"

#include "score_notation.h"

#include <vector>

namespace {

// Channels: melody, chords, bass, sparkle; drums sit on the General MIDI drum channel.
constexpr uint8_t lead = 0, chords = 1, bass = 2, sparkle = 3;

// General MIDI programs (numbered from 0) that the free patch set provides,
// so the software synthesiser has an instrument for every part.
constexpr uint8_t celesta = 8, rhodes = 4, fretless_bass = 35, synth_bass = 38;
constexpr uint8_t square_lead = 80, halo_pad = 94, crystal = 98;

// General MIDI drum keys.
constexpr int kick = 36, soft_kick = 35, snare = 38, clap = 39, closed_hat = 42, open_hat = 46;
constexpr int crash = 49, ride = 51, triangle = 81, shaker = 82;

constexpr uint8_t cc_volume = 7, cc_pan = 10;
constexpr uint8_t pan_left = 40, pan_centre = 64, pan_right = 88;

struct Bar {
    const char* chord; // voicing for pads and stabs
    const char* root;  // bass note
};

void set_up(MidiTrack& t, uint8_t channel, uint8_t program, uint8_t volume, uint8_t pan)
{
    if (channel != drum_channel)
        add_program(t, channel, program);
    add_controller(t, channel, cc_volume, volume);
    add_controller(t, channel, cc_pan, pan);
}

void hit(MidiTrack& t, uint32_t at, int drum, int velocity)
{
    add_note(t, drum_channel, at, ticks_per_eighth / 2, drum, velocity);
}

// ---- "Drift": 76 beats a minute, twelve bars of slow chords under a celesta.

constexpr double drift_tempo = 76.0;
const Bar drift_bars[] = {
    {"A3 C4 E4 G4", "A2"}, {"F3 A3 C4 E4", "F2"}, {"G3 C4 E4 B4", "C3"}, {"G3 B3 D4 A4", "G2"},
    {"A3 C4 E4 G4", "A2"}, {"F3 A3 C4 E4", "F2"}, {"D4 F4 A4 C5", "D3"}, {"E3 G#3 B3 D4", "E2"},
    {"F3 A3 C4 E4", "F2"}, {"G3 B3 D4 A4", "G2"}, {"E3 G3 B3 D4", "E2"}, {"A3 C4 E4 G4", "A2"},
};
const char* const drift_melody =
    "E5/6 A5/2  G5/4 F5/2 E5/2  E5/8  D5/4 B4/4 "
    "C5/2 E5/2 A5/4  C6/4 A5/2 G5/2  F5/4 A5/2 D5/2  G#5/6 r/2 "
    "A5/4 C6/4  B5/4 D6/2 B5/2  G5/4 E5/4  A5/8";

void drift_bar(std::vector<MidiTrack>& parts, int index, const Bar& bar)
{
    const uint32_t at = static_cast<uint32_t>(index) * ticks_per_bar;
    const std::vector<int> keys = chord_keys(bar.chord);
    for (int k : keys)
        add_note(parts[chords], chords, at, ticks_per_bar, k, 52);
    const int root = key_of(bar.root);
    add_note(parts[bass], bass, at, 6 * ticks_per_eighth, root, 70);
    add_note(parts[bass], bass, at + 6 * ticks_per_eighth, 2 * ticks_per_eighth, root + 7, 55);
    // A slow sparkle up and down the chord, two octaves above the pad.
    static const int order[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int i = 0; i < 8; i++)
        add_note(parts[sparkle], sparkle, at + i * ticks_per_eighth, ticks_per_eighth,
                 keys[static_cast<size_t>(order[i]) % keys.size()] + 24, 30 + (i == 0 ? 10 : 0));
    MidiTrack& drums = parts[4];
    hit(drums, at, soft_kick, 60);
    hit(drums, at + 5 * ticks_per_eighth, soft_kick, 40);
    for (int beat = 0; beat < 4; beat++)
        hit(drums, at + beat * ticks_per_beat, ride, beat == 0 ? 45 : 32);
    if (index >= 4)
        for (int i = 1; i < 8; i += 2)
            hit(drums, at + i * ticks_per_eighth, shaker, 28);
    if (index % 4 == 0)
        hit(drums, at, triangle, 50);
}

// ---- "Rise Up": 140 beats a minute, A-B-A over twenty-four bars.

constexpr double rise_tempo = 140.0;
const Bar rise_a[] = {
    {"A3 C4 E4", "A2"}, {"A3 C4 F4", "F2"}, {"G3 C4 E4", "C3"}, {"G3 B3 D4", "G2"},
    {"A3 C4 E4", "A2"}, {"A3 C4 F4", "F2"}, {"G3 C4 E4", "C3"}, {"G3 B3 D4", "G2"},
};
const Bar rise_b[] = {
    {"A3 C4 F4", "F2"}, {"G3 B3 D4", "G2"}, {"G3 B3 E4", "E2"}, {"A3 C4 E4", "A2"},
    {"A3 C4 F4", "F2"}, {"G3 B3 D4", "G2"}, {"G#3 B3 E4", "E2"}, {"G#3 B3 D4", "E2"},
};
const char* const rise_melody_a =
    "E5/2 A5/2 G5/1 E5/1 C5/2  D5/1 C5/1 A4/2 C5/2 D5/2  E5/2 G5/2 C6/2 B5/1 G5/1  A5/3 G5/1 D5/4 "
    "E5/2 A5/2 B5/1 C6/1 B5/2  A5/1 G5/1 F5/2 A5/2 C6/2  B5/2 G5/2 E5/2 G5/2  D5/2 E5/1 D5/1 B4/4";
const char* const rise_melody_b =
    "C5/3 D5/1 F5/2 A5/2  G5/3 F5/1 D5/2 B4/2  E5/3 G5/1 B5/2 G5/2  A5/6 r/2 "
    "F5/2 A5/2 C6/2 A5/2  B5/2 G5/2 D6/2 B5/2  G#5/4 B5/4  E6/4 D6/1 B5/1 G#5/2";

void rise_bar(std::vector<MidiTrack>& parts, int index, const Bar& bar, bool section_start,
              bool fill)
{
    const uint32_t at = static_cast<uint32_t>(index) * ticks_per_bar;
    // Off-beat stabs on the electric piano.
    for (int i = 1; i < 8; i += 2)
        for (int k : chord_keys(bar.chord))
            add_note(parts[chords], chords, at + i * ticks_per_eighth, ticks_per_eighth * 6 / 10, k + 12,
                     i == 3 || i == 7 ? 66 : 56);
    // Driving eighth-note bass: root, root, octave, with a fifth to lead on.
    static const int bass_steps[8] = {0, 0, 12, 0, 0, 12, 7, 12};
    const int root = key_of(bar.root);
    for (int i = 0; i < 8; i++)
        add_note(parts[bass], bass, at + i * ticks_per_eighth, ticks_per_eighth * 8 / 10, root + bass_steps[i],
                 i % 2 == 0 ? 96 : 76);
    MidiTrack& drums = parts[4];
    for (int beat = 0; beat < 4; beat++)
        hit(drums, at + beat * ticks_per_beat, kick, beat == 0 ? 110 : 96);
    hit(drums, at + ticks_per_beat, snare, 96);
    hit(drums, at + 3 * ticks_per_beat, snare, 100);
    hit(drums, at + 3 * ticks_per_beat, clap, 60);
    for (int i = 0; i < 8; i++) {
        const bool open = i == 7 && index % 2 == 1 && !fill;
        hit(drums, at + i * ticks_per_eighth, open ? open_hat : closed_hat, i % 2 == 0 ? 70 : 48);
    }
    if (section_start)
        hit(drums, at, crash, 100);
    if (fill) // sixteenth-note snare run into the next section
        for (int i = 0; i < 4; i++)
            hit(drums, at + 3 * ticks_per_beat + i * ticks_per_beat / 4, snare, 70 + 10 * i);
}

} // namespace

bool save_starfield_tune(const std::string& path)
{
    std::vector<MidiTrack> parts(5);
    add_tempo(parts[lead], drift_tempo);
    set_up(parts[lead], lead, celesta, 110, pan_centre);
    set_up(parts[chords], chords, halo_pad, 80, pan_centre);
    set_up(parts[bass], bass, fretless_bass, 95, pan_centre);
    set_up(parts[sparkle], sparkle, crystal, 70, pan_right);
    set_up(parts[4], drum_channel, 0, 70, pan_left);
    int index = 0;
    for (const Bar& bar : drift_bars)
        drift_bar(parts, index++, bar);
    add_line(parts[lead], lead, 0, drift_melody, 84, 0.95);
    return save_midi(path, parts, ticks_per_beat, static_cast<uint32_t>(index) * ticks_per_bar);
}

bool save_game_tune(const std::string& path)
{
    std::vector<MidiTrack> parts(5);
    add_tempo(parts[lead], rise_tempo);
    set_up(parts[lead], lead, square_lead, 92, pan_centre);
    set_up(parts[chords], chords, rhodes, 85, pan_right);
    set_up(parts[bass], bass, synth_bass, 105, pan_centre);
    set_up(parts[4], drum_channel, 0, 100, pan_centre);

    constexpr int section = 8;
    int index = 0;
    for (const Bar* bars : {rise_a, rise_b, rise_a}) {
        for (int i = 0; i < section; i++, index++)
            rise_bar(parts, index, bars[i], i == 0, bars == rise_b && i == section - 1);
    }
    uint32_t at = add_line(parts[lead], lead, 0, rise_melody_a, 100, 0.85);
    at = add_line(parts[lead], lead, at, rise_melody_b, 104, 0.85);
    add_line(parts[lead], lead, at, rise_melody_a, 100, 0.85);
    return save_midi(path, parts, ticks_per_beat, static_cast<uint32_t>(index) * ticks_per_bar);
}
