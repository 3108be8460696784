// A compact way to write melodies and chords: "E5/2 A5/2 r/4" is a note name, then eighths.
#pragma once

#include "midi_file.h"

#include <string>
#include <vector>

constexpr uint32_t ticks_per_beat = 96;
constexpr uint32_t ticks_per_eighth = ticks_per_beat / 2;
constexpr uint32_t ticks_per_bar = 4 * ticks_per_beat;

// MIDI key of a name such as "C4" (60), "G#5" or "Bb3"; -1 when it is not a note.
int key_of(const std::string& name);

// Adds the line's notes from `start`; returns the tick after its last note or rest.
// Notes are held for `legato` of their written length so repeated keys re-strike.
uint32_t add_line(MidiTrack& t, uint8_t channel, uint32_t start, const std::string& line,
                  int velocity, double legato = 0.9);

// A chord written as keys separated by spaces, e.g. "A3 C4 E4 G4".
std::vector<int> chord_keys(const std::string& chord);
