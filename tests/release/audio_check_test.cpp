// Judging recordings: silence in either sample encoding, tones, and where in time they sound.
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "audio_check.h"

namespace {

constexpr int rate = 8000;
constexpr double pi = 3.14159265358979;

// `seconds` of a tone of `amplitude` around `centre`, in the given format; the tone sounds
// from `from` to `to` seconds and only on channel `loud_channel` (-1: all channels).
std::vector<uint8_t> recording(const AudioFormat& f, double seconds, int centre, int amplitude,
                               double from = 0, double to = 1e9, int loud_channel = -1,
                               double hz = 440)
{
    std::vector<uint8_t> bytes;
    const int frames = static_cast<int>(seconds * f.frequency);
    for (int i = 0; i < frames; i++) {
        const double t = static_cast<double>(i) / f.frequency;
        for (int c = 0; c < f.channels; c++) {
            const bool on = t >= from && t < to && (loud_channel < 0 || loud_channel == c);
            const int v = centre + (on ? static_cast<int>(amplitude * std::sin(2 * pi * hz * t)) : 0);
            const uint16_t u = static_cast<uint16_t>(v);
            if (f.bits == 8) {
                bytes.push_back(static_cast<uint8_t>(u >> 8));
            } else {
                bytes.push_back(static_cast<uint8_t>(u & 0xFF));
                bytes.push_back(static_cast<uint8_t>(u >> 8));
            }
        }
    }
    return bytes;
}

const AudioFormat stereo16{16, 2, rate};

} // namespace

TEST(Silence, IsSilentWhateverTheEncodingsMidPoint)
{
    for (int centre : {0, 0x8000}) {
        const AudioSummary s = summarise_audio(recording(stereo16, 1.0, centre, 0), stereo16);
        EXPECT_EQ(s.windows, 10);
        EXPECT_TRUE(judge_audio(s, Loudness::silent)) << "centre " << centre;
        EXPECT_FALSE(judge_audio(s, Loudness::somewhere));
    }
}

TEST(Silence, AFaintHumAroundTheUnsignedMidPointIsNotMistakenForNoise)
{
    // Read as signed, these samples jump between -32768 and 32767; they must not count.
    const AudioSummary s = summarise_audio(recording(stereo16, 1.0, 0x8000, 2), stereo16);
    EXPECT_TRUE(judge_audio(s, Loudness::silent));
}

TEST(Silence, AnEmptyRecordingProvesNothing)
{
    const AudioSummary s = summarise_audio({}, stereo16);
    EXPECT_FALSE(judge_audio(s, Loudness::silent));
    EXPECT_FALSE(judge_audio(s, Loudness::somewhere));
    EXPECT_FALSE(judge_audio(s, Loudness::throughout));
}

TEST(Sound, AToneSoundsThroughoutInAnyEncoding)
{
    for (const AudioFormat& f : {stereo16, AudioFormat{16, 1, rate}, AudioFormat{8, 2, rate}})
        for (int centre : {0, 0x8000}) {
            const AudioSummary s = summarise_audio(recording(f, 1.0, centre, 3000), f);
            EXPECT_EQ(s.sounding_windows, s.windows) << f.bits << "-bit, centre " << centre;
            EXPECT_TRUE(judge_audio(s, Loudness::throughout));
            EXPECT_FALSE(judge_audio(s, Loudness::silent));
        }
}

TEST(Sound, AShortSoundIsFoundButDoesNotCountAsMusicThroughout)
{
    const AudioSummary s =
        summarise_audio(recording(stereo16, 2.0, 0x8000, 3000, 0.5, 0.7), stereo16);
    EXPECT_GE(s.sounding_windows, 2);
    EXPECT_LE(s.sounding_windows, 3);
    EXPECT_TRUE(judge_audio(s, Loudness::somewhere));
    EXPECT_FALSE(judge_audio(s, Loudness::throughout));
}

TEST(Sound, OneLoudChannelIsEnough)
{
    const AudioSummary s =
        summarise_audio(recording(stereo16, 1.0, 0, 3000, 0, 1e9, 1), stereo16);
    EXPECT_TRUE(judge_audio(s, Loudness::throughout));
}

TEST(Sound, AQuietLowDrumCounts)
{
    // A kick drum changes little from one sample to the next, yet is plainly heard.
    const AudioSummary s =
        summarise_audio(recording(stereo16, 1.0, 0x8000, 300, 0, 1e9, -1, 30), stereo16);
    EXPECT_TRUE(judge_audio(s, Loudness::throughout));
}
