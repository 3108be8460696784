// A tiny additive synthesiser: tones with envelopes mixed into a buffer of floats.
#pragma once

#include <string>
#include <vector>

struct Voice {
    double start = 0;      // seconds
    double length = 0.1;   // seconds until the release ends
    double freq = 440;     // Hz at the start
    double end_freq = 0;   // Hz at the end; 0 keeps the pitch
    double amp = 0.5;
    double attack = 0.004; // seconds
    double decay = 0;      // exponential decay time constant; 0 holds the level
    int harmonics = 1;     // odd harmonics at 1/n give a square-ish, brighter tone
    double inharmonic = 1; // >1 stretches the partials apart, for bells and gongs
};

using Buffer = std::vector<double>;

Buffer make_buffer(double seconds, int rate);
void add_voice(Buffer& b, int rate, const Voice& v);
// Scales the buffer so its loudest point is `peak` and fades the last few
// milliseconds to silence so the sound never ends in a click.
void finish(Buffer& b, int rate, double peak);
// Saves as a 16-bit mono WAV file; false on failure.
bool save_buffer(const Buffer& b, int rate, const std::string& path);
