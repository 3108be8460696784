// Plays the game's tunes and a sound the way the game starts its sound, and checks the
// recorded output: run in place of the installed program, with ALSA writing to a file.
//
// Usage: sound_probe recording.raw   (the file the test's .asoundrc names)
// Each part plays in a sound session of its own: the file device starts the recording afresh
// when it opens, so once the session ends the recording holds exactly that part.
#include <allegro.h>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/assets.h"
#include "app/startup.h"
#include "audio_check.h"

namespace {

const char* recording = nullptr;

// Plays `start` for `ms` in a new session, then reports what it recorded; true when that is `want`.
bool play_part(const char* what, Loudness want, int ms, void (*start)())
{
    remove_sound();
    if (install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) != 0)
        return false;
    start();
    rest(ms);
    stop_midi();
    const AudioFormat format{get_mixer_bits(), get_mixer_channels(), get_mixer_frequency()};
    remove_sound(); // closes the device, which flushes the recording
    std::ifstream in(recording, std::ios::binary);
    const AudioSummary s = summarise_audio({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}, format);
    const bool ok = judge_audio(s, want);
    std::printf("%-16s %s: %d of %d tenths of a second sound\n", what, ok ? "ok  " : "FAIL", s.sounding_windows,
                s.windows);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sound_probe recording.raw\n");
        return 2;
    }
    recording = argv[1];
    if (const char* problem = start_library())
        fail_start(problem);
    if (const char* problem = load_game_data(datafile_name))
        fail_start(problem);
    std::printf("drivers: %s / %s, %d-bit %d channels at %d Hz\n", digi_driver->name, midi_driver->name,
                get_mixer_bits(), get_mixer_channels(), get_mixer_frequency());
    // Without patches the library quietly falls back to no MIDI at all.
    if (digi_driver->id == DIGI_NONE || midi_driver->id != MIDI_DIGMID) {
        std::printf("FAIL: wanted a digital driver and the software synthesiser\n");
        return 1;
    }
    // Silence first: proves the check can tell it from sound.
    bool ok = play_part("nothing playing", Loudness::silent, 500, [] {});
    ok = play_part("starfield music", Loudness::throughout, 1500,
                   [] { play_midi(asset_midi(Asset::starfield_music), 1); }) && ok;
    ok = play_part("game music", Loudness::throughout, 1500, [] { play_midi(asset_midi(Asset::game_music), 1); }) && ok;
    ok = play_part("title sound", Loudness::somewhere, 800,
                   [] { play_sample(asset_sample(Asset::title_sound), 255, 127, 1000, 0); }) && ok;
    unload_datafile(game_data);
    game_data = nullptr;
    return ok ? 0 : 1;
}
END_OF_MAIN()
