// Telling a recording of the mixer's output apart from silence.
#pragma once

#include <cstdint>
#include <vector>

struct AudioFormat {
    int bits;     // 8 or 16, little-endian
    int channels; // interleaved
    int frequency;
};

struct AudioSummary {
    int windows;          // tenths of a second recorded (a partial last one counts)
    int sounding_windows; // of those, the ones with an audible signal
};

enum class Loudness { silent, somewhere, throughout };

// Splits the recording into tenths of a second and counts those that carry a signal.
// Signed or unsigned samples alike: only the swing around the window's first sample counts.
AudioSummary summarise_audio(const std::vector<uint8_t>& bytes, const AudioFormat& format);

// silent: no window sounds; somewhere: at least one; throughout: at least half of them.
bool judge_audio(const AudioSummary& s, Loudness want);
