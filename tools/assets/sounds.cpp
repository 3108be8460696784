// The five effects: what each is made of, note by note.
#include "sounds.h"

#include "synth.h"

#include <cmath>

namespace {

constexpr double peak_level = 0.8; // leaves headroom when several sounds overlap

double note_hz(int key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

bool finish_and_save(Buffer& b, const std::string& path)
{
    finish(b, sound_rate, peak_level);
    return save_buffer(b, sound_rate, path);
}

} // namespace

bool save_title_sound(const std::string& path)
{
    Buffer b = make_buffer(0.7, sound_rate);
    // Two bell strikes a fifth apart; stretched partials give the metallic ring.
    const int keys[2] = {88, 95}; // E6, B6
    for (int i = 0; i < 2; i++) {
        Voice v;
        v.start = 0.09 * i;
        v.length = 0.7 - v.start;
        v.freq = note_hz(keys[i]);
        v.amp = i == 0 ? 0.6 : 0.5;
        v.attack = 0.002;
        v.decay = 0.22;
        v.harmonics = 3;
        v.inharmonic = 1.08;
        add_voice(b, sound_rate, v);
    }
    return finish_and_save(b, path);
}

bool save_start_sound(const std::string& path)
{
    Buffer b = make_buffer(0.62, sound_rate);
    const int keys[4] = {72, 76, 79, 84}; // C5 E5 G5 C6
    for (int i = 0; i < 4; i++) {
        Voice v;
        v.start = 0.1 * i;
        v.length = i == 3 ? 0.62 - v.start : 0.16;
        v.freq = note_hz(keys[i]);
        v.amp = 0.45;
        v.decay = i == 3 ? 0.12 : 0.07;
        v.harmonics = 4;
        add_voice(b, sound_rate, v);
    }
    return finish_and_save(b, path);
}

bool save_match_sound(const std::string& path)
{
    // The game plays it at double speed: an octave up and half as long.
    Buffer b = make_buffer(0.15, sound_rate);
    Voice v;
    v.length = 0.15;
    v.freq = 660;
    v.end_freq = 1100;
    v.amp = 0.6;
    v.attack = 0.003;
    v.decay = 0.05;
    v.harmonics = 2;
    add_voice(b, sound_rate, v);
    return finish_and_save(b, path);
}

bool save_warning_sound(const std::string& path)
{
    Buffer b = make_buffer(0.5, sound_rate);
    const double tones[2] = {988, 740}; // B5 then F#5, twice
    for (int i = 0; i < 4; i++) {
        Voice v;
        v.start = 0.125 * i;
        v.length = 0.11;
        v.freq = tones[i % 2];
        v.amp = 0.5;
        v.attack = 0.005;
        v.harmonics = 3;
        add_voice(b, sound_rate, v);
    }
    return finish_and_save(b, path);
}

bool save_last_moment_sound(const std::string& path)
{
    Buffer b = make_buffer(0.65, sound_rate);
    // A low gong: a few inharmonic bodies struck together, the lowest ringing longest.
    const double bodies[3] = {110, 163, 247};
    for (int i = 0; i < 3; i++) {
        Voice v;
        v.length = 0.65;
        v.freq = bodies[i];
        v.end_freq = bodies[i] * 0.97;
        v.amp = 0.5 / (i + 1);
        v.attack = 0.003;
        v.decay = 0.35 / (i + 1);
        v.harmonics = 4;
        v.inharmonic = 1.15;
        add_voice(b, sound_rate, v);
    }
    return finish_and_save(b, path);
}
