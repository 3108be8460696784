// Additive synthesis with smooth envelopes, and writing the result as a WAV file.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

constexpr double two_pi = 6.283185307179586;
constexpr double release_time = 0.012; // seconds of fade at a voice's end
constexpr double highest_partial = 0.45; // of the sample rate
constexpr double tail_fade = 0.008;    // seconds of fade at the buffer's end
constexpr int sample_bits = 16;
constexpr uint32_t bytes_per_sample = sample_bits / 8;
constexpr int full_scale = 32767;
constexpr uint32_t pcm_format = 1, pcm_format_size = 16;
constexpr uint32_t riff_header_rest = 36; // bytes of the RIFF chunk before the samples

} // namespace

Buffer make_buffer(double seconds, int rate)
{
    return Buffer(static_cast<size_t>(seconds * rate), 0.0);
}

void add_voice(Buffer& b, int rate, const Voice& v)
{
    const size_t first = static_cast<size_t>(v.start * rate);
    const size_t count = static_cast<size_t>(v.length * rate);
    double phase = 0;
    for (size_t i = 0; i < count && first + i < b.size(); i++) {
        const double t = static_cast<double>(i) / rate;
        const double freq = v.end_freq > 0 ? v.freq * std::pow(v.end_freq / v.freq, t / v.length) : v.freq;
        phase += two_pi * freq / rate;
        double env = std::min(1.0, t / v.attack);
        if (v.decay > 0)
            env *= std::exp(-t / v.decay);
        env *= std::min(1.0, (v.length - t) / release_time);
        double s = 0;
        for (int h = 1; h <= v.harmonics; h++) {
            const int n = 2 * h - 1;
            const double stretch = std::pow(static_cast<double>(n), v.inharmonic);
            if (freq * stretch > highest_partial * rate)
                break; // above the sample rate's limit it would fold back as a harsh alias
            // Higher partials die away sooner, as in struck or plucked things.
            const double partial_decay = v.decay > 0 ? std::exp(-t * (n - 1) / (v.decay * 2)) : 1.0;
            s += std::sin(phase * stretch) / n * partial_decay;
        }
        b[first + i] += v.amp * env * s;
    }
}

void finish(Buffer& b, int rate, double peak)
{
    double loudest = 0;
    for (double s : b)
        loudest = std::max(loudest, std::fabs(s));
    if (loudest > 0)
        for (double& s : b)
            s *= peak / loudest;
    const size_t fade = std::min(b.size(), static_cast<size_t>(tail_fade * rate));
    for (size_t i = 0; i < fade; i++)
        b[b.size() - 1 - i] *= static_cast<double>(i) / fade;
}

bool save_buffer(const Buffer& b, int rate, const std::string& path)
{
    // The library can read WAV but has no writer: a plain 16-bit PCM RIFF file.
    std::vector<uint8_t> out;
    auto put = [&out](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto tag = [&out](const char* four) { out.insert(out.end(), four, four + 4); };
    const auto data_bytes = static_cast<uint32_t>(b.size() * bytes_per_sample);
    tag("RIFF");
    put(riff_header_rest + data_bytes, 4);
    tag("WAVE");
    tag("fmt ");
    put(pcm_format_size, 4);
    put(pcm_format, 2);
    put(1, 2); // mono
    put(static_cast<uint32_t>(rate), 4);
    put(static_cast<uint32_t>(rate * bytes_per_sample), 4);
    put(bytes_per_sample, 2);
    put(sample_bits, 2);
    tag("data");
    put(data_bytes, 4);
    for (double s : b) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * full_scale);
        put(static_cast<uint32_t>(static_cast<int16_t>(v)), 2);
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}
