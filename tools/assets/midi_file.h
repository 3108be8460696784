// A Standard MIDI File (format 1) built event by event and written to disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MidiEvent {
    uint32_t tick;
    uint8_t rank; // at one tick: releases first, then settings, then new notes
    std::vector<uint8_t> bytes;
};

struct MidiTrack {
    std::vector<MidiEvent> events;
};

constexpr uint8_t drum_channel = 9; // General MIDI's channel 10

void add_note(MidiTrack& t, uint8_t channel, uint32_t start, uint32_t length, int key, int velocity);
void add_program(MidiTrack& t, uint8_t channel, uint8_t program);
void add_controller(MidiTrack& t, uint8_t channel, uint8_t controller, uint8_t value);
void add_tempo(MidiTrack& t, double beats_per_minute);

// The whole file: every track ends at `end_tick`, so a looping player comes
// round exactly on the bar line rather than after the last note-off.
std::vector<uint8_t> encode_midi(const std::vector<MidiTrack>& tracks, uint16_t ticks_per_beat,
                                 uint32_t end_tick);
bool save_midi(const std::string& path, const std::vector<MidiTrack>& tracks,
               uint16_t ticks_per_beat, uint32_t end_tick);
