// Telling a recording of the mixer's output apart from silence.
#include "audio_check.h"

#include <algorithm>

namespace {

constexpr int windows_per_second = 10;
// Peak-to-peak swing, in 16-bit units, above which a window is heard. The mixer's
// silence is a constant (0, or the mid-point of unsigned samples): no swing at all.
constexpr int audible_swing = 64;

int sample_at(const std::vector<uint8_t>& bytes, size_t frame, int channel, const AudioFormat& format)
{
    const size_t at = (frame * format.channels + channel) * format.bits / 8;
    return format.bits == 8 ? bytes[at] << 8 : bytes[at] | (bytes[at + 1] << 8);
}

// Offsets from the first sample, taken modulo 2^16, are the same for signed and unsigned
// samples as long as the signal stays within half the range around it.
int swing(const std::vector<uint8_t>& bytes, size_t start, size_t end, int channel, const AudioFormat& format)
{
    const int reference = sample_at(bytes, start, channel, format);
    int low = 0, high = 0;
    for (size_t f = start; f < end; f++) {
        const int d = static_cast<int16_t>(static_cast<uint16_t>(sample_at(bytes, f, channel, format) - reference));
        low = std::min(low, d);
        high = std::max(high, d);
    }
    return high - low;
}

} // namespace

AudioSummary summarise_audio(const std::vector<uint8_t>& bytes, const AudioFormat& format)
{
    AudioSummary s{0, 0};
    if ((format.bits != 8 && format.bits != 16) || format.channels < 1 || format.frequency < 1)
        return s;
    const size_t frames = bytes.size() / static_cast<size_t>(format.channels * format.bits / 8);
    const size_t window = static_cast<size_t>(std::max(1, format.frequency / windows_per_second));
    for (size_t start = 0; start < frames; start += window, s.windows++) {
        bool heard = false;
        for (int c = 0; c < format.channels && !heard; c++)
            heard = swing(bytes, start, std::min(start + window, frames), c, format) > audible_swing;
        s.sounding_windows += heard ? 1 : 0;
    }
    return s;
}

bool judge_audio(const AudioSummary& s, Loudness want)
{
    switch (want) {
    case Loudness::silent: return s.windows > 0 && s.sounding_windows == 0;
    case Loudness::somewhere: return s.sounding_windows > 0;
    case Loudness::throughout: return s.windows > 0 && 2 * s.sounding_windows >= s.windows;
    }
    return false;
}
