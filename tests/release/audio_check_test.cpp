// Judging recordings: silence in either sample encoding, tones, and where in time they sound.
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "audio_check.h"

namespace {

constexpr int rate = 8000;
constexpr double pi = 3.14159265358979;
const AudioFormat stereo16{16, 2, rate}, mono16{16, 1, rate}, stereo8{8, 2, rate};

// A recording `seconds` long around `centre`; a sine of `amplitude` and `hz` sounds from `from`
// to `to` seconds, on channel `loud_channel` only (-1: on all).
struct Recording {
    const char* what;
    AudioFormat format;
    double seconds;
    int centre, amplitude;
    double from = 0, to = 1e9;
    int loud_channel = -1;
    double hz = 440;

    std::vector<uint8_t> bytes() const
    {
        std::vector<uint8_t> out;
        for (int i = 0; i < static_cast<int>(seconds * format.frequency); i++) {
            const double t = static_cast<double>(i) / format.frequency;
            for (int c = 0; c < format.channels; c++) {
                const bool on = t >= from && t < to && (loud_channel < 0 || loud_channel == c);
                const auto u = static_cast<uint16_t>(centre + (on ? static_cast<int>(amplitude * std::sin(2 * pi * hz * t)) : 0));
                if (format.bits == 16)
                    out.push_back(static_cast<uint8_t>(u & 0xFF));
                out.push_back(static_cast<uint8_t>(u >> 8));
            }
        }
        return out;
    }
};

} // namespace

TEST(Recordings, AreJudgedSilentSoundingSomewhereOrThroughoutByTheirTenthsOfASecond)
{
    const struct {
        Recording recording;
        int windows, min_sounding, max_sounding;
        bool silent, somewhere, throughout;
    } rows[] = {
        {{"silence, signed", stereo16, 1.0, 0, 0}, 10, 0, 0, true, false, false},
        {{"silence, unsigned", stereo16, 1.0, 0x8000, 0}, 10, 0, 0, true, false, false},
        // Read the other way, these samples jump across the whole range; they must not count.
        {{"faint hum around the unsigned mid-point", stereo16, 1.0, 0x8000, 2}, 10, 0, 0, true, false, false},
        {{"faint hum around signed zero", stereo16, 1.0, 0, 2}, 10, 0, 0, true, false, false},
        {{"empty: proves nothing", stereo16, 0, 0, 0}, 0, 0, 0, false, false, false},
        {{"tone, 16-bit stereo signed", stereo16, 1.0, 0, 3000}, 10, 10, 10, false, true, true},
        {{"tone, 16-bit stereo unsigned", stereo16, 1.0, 0x8000, 3000}, 10, 10, 10, false, true, true},
        {{"tone, 16-bit mono signed", mono16, 1.0, 0, 3000}, 10, 10, 10, false, true, true},
        {{"tone, 16-bit mono unsigned", mono16, 1.0, 0x8000, 3000}, 10, 10, 10, false, true, true},
        {{"tone, 8-bit stereo signed", stereo8, 1.0, 0, 3000}, 10, 10, 10, false, true, true},
        {{"tone, 8-bit stereo unsigned", stereo8, 1.0, 0x8000, 3000}, 10, 10, 10, false, true, true},
        {{"short sound: not music throughout", stereo16, 2.0, 0x8000, 3000, 0.5, 0.7}, 20, 2, 3, false, true, false},
        {{"sound in 6 tenths of 10: throughout", stereo16, 1.0, 0, 3000, 0, 0.6}, 10, 6, 6, false, true, true},
        {{"one loud channel", stereo16, 1.0, 0, 3000, 0, 1e9, 1}, 10, 10, 10, false, true, true},
        // A kick drum changes little from one sample to the next, yet is plainly heard.
        {{"quiet low drum", stereo16, 1.0, 0x8000, 300, 0, 1e9, -1, 30}, 10, 10, 10, false, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.recording.what);
        const AudioSummary s = summarise_audio(row.recording.bytes(), row.recording.format);
        EXPECT_EQ(s.windows, row.windows);
        EXPECT_GE(s.sounding_windows, row.min_sounding);
        EXPECT_LE(s.sounding_windows, row.max_sounding);
        EXPECT_EQ(judge_audio(s, Loudness::silent), row.silent);
        EXPECT_EQ(judge_audio(s, Loudness::somewhere), row.somewhere);
        EXPECT_EQ(judge_audio(s, Loudness::throughout), row.throughout);
    }
}
