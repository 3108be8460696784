// Encoding tracks of timed events into the Standard MIDI File layout.
#include "midi_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr uint8_t rank_release = 0, rank_setting = 1, rank_note = 2;
constexpr uint8_t note_on = 0x90, note_off = 0x80, program_change = 0xC0, control_change = 0xB0;
constexpr double microseconds_per_minute = 60e6;

void put_u32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

void put_u16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// Seven bits per byte, most significant first, high bit set on all but the last.
void put_varlen(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t buf[5];
    int n = 0;
    buf[n++] = v & 0x7F;
    while ((v >>= 7) != 0)
        buf[n++] = static_cast<uint8_t>((v & 0x7F) | 0x80);
    while (n > 0)
        out.push_back(buf[--n]);
}

std::vector<uint8_t> encode_track(const MidiTrack& track, uint32_t end_tick)
{
    std::vector<MidiEvent> events = track.events;
    std::stable_sort(events.begin(), events.end(), [](const MidiEvent& a, const MidiEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.rank < b.rank;
    });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const MidiEvent& e : events) {
        const uint32_t at = std::min(e.tick, end_tick);
        put_varlen(body, at - now);
        now = at;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    put_varlen(body, end_tick - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00}); // end of track
    return body;
}

uint8_t data_byte(int v)
{
    return static_cast<uint8_t>(std::clamp(v, 0, 127));
}

} // namespace

void add_note(MidiTrack& t, uint8_t channel, uint32_t start, uint32_t length, int key, int velocity)
{
    const uint8_t k = data_byte(key), v = std::max<uint8_t>(data_byte(velocity), 1);
    t.events.push_back({start, rank_note, {static_cast<uint8_t>(note_on | channel), k, v}});
    t.events.push_back({start + length, rank_release, {static_cast<uint8_t>(note_off | channel), k, 64}});
}

void add_program(MidiTrack& t, uint8_t channel, uint8_t program)
{
    t.events.push_back({0, rank_setting, {static_cast<uint8_t>(program_change | channel), data_byte(program)}});
}

void add_controller(MidiTrack& t, uint8_t channel, uint8_t controller, uint8_t value)
{
    t.events.push_back({0, rank_setting,
                        {static_cast<uint8_t>(control_change | channel), data_byte(controller), data_byte(value)}});
}

void add_tempo(MidiTrack& t, double beats_per_minute)
{
    const auto us = static_cast<uint32_t>(std::lround(microseconds_per_minute / beats_per_minute));
    t.events.push_back({0, rank_setting,
                        {0xFF, 0x51, 0x03, static_cast<uint8_t>(us >> 16), static_cast<uint8_t>(us >> 8),
                         static_cast<uint8_t>(us)}});
}

std::vector<uint8_t> encode_midi(const std::vector<MidiTrack>& tracks, uint16_t ticks_per_beat,
                                 uint32_t end_tick)
{
    std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
    put_u32(out, 6);
    put_u16(out, 1); // format 1: parallel tracks
    put_u16(out, static_cast<uint16_t>(tracks.size()));
    put_u16(out, ticks_per_beat);
    for (const MidiTrack& t : tracks) {
        const std::vector<uint8_t> body = encode_track(t, end_tick);
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        put_u32(out, static_cast<uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }
    return out;
}

bool save_midi(const std::string& path, const std::vector<MidiTrack>& tracks,
               uint16_t ticks_per_beat, uint32_t end_tick)
{
    const std::vector<uint8_t> bytes = encode_midi(tracks, ticks_per_beat, end_tick);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
