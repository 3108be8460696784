// Plays the game's tunes and a sound the way the game starts its sound, and checks the
// recorded output: run in place of the installed program, with ALSA writing to a file.
//
// Usage: sound_probe recording.raw   (the file the test's .asoundrc names)
// Each part is played in a sound session of its own, so the recording, which the file
// device starts afresh when it opens, holds exactly that part once the session ends.
#include <allegro.h>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/assets.h"
#include "app/startup.h"
#include "audio_check.h"

namespace {

constexpr int quiet_ms = 500;
constexpr int tune_ms = 1500;
constexpr int sample_ms = 800;

const char* recording = nullptr;

std::vector<uint8_t> read_recording()
{
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(recording, "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

bool restart_sound()
{
    remove_sound();
    return install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr) == 0;
}

// Ends the session and reports what it recorded; true when that matches `want`.
bool finish_part(const char* what, Loudness want)
{
    const AudioFormat format{get_mixer_bits(), get_mixer_channels(), get_mixer_frequency()};
    remove_sound(); // closes the device, which flushes the recording
    const AudioSummary s = summarise_audio(read_recording(), format);
    const bool ok = judge_audio(s, want);
    std::printf("%-16s %s: %d of %d tenths of a second sound\n", what, ok ? "ok  " : "FAIL",
                s.sounding_windows, s.windows);
    return ok;
}

bool play_tune(const char* what, Asset tune)
{
    if (!restart_sound())
        return false;
    play_midi(asset_midi(tune), 1);
    rest(tune_ms);
    stop_midi();
    return finish_part(what, Loudness::throughout);
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
    std::printf("drivers: %s / %s, %d-bit %d channels at %d Hz\n", digi_driver->name,
                midi_driver->name, get_mixer_bits(), get_mixer_channels(), get_mixer_frequency());
    // Without patches the library quietly falls back to no MIDI at all.
    if (digi_driver->id == DIGI_NONE || midi_driver->id != MIDI_DIGMID) {
        std::printf("FAIL: wanted a digital driver and the software synthesiser\n");
        return 1;
    }

    bool ok = true;
    rest(quiet_ms); // proves the check can tell silence from sound
    ok = finish_part("nothing playing", Loudness::silent) && ok;
    ok = play_tune("starfield music", Asset::starfield_music) && ok;
    ok = play_tune("game music", Asset::game_music) && ok;
    if (restart_sound()) {
        play_asset_sample(Asset::title_sound, 255, 127, 1000);
        rest(sample_ms);
        ok = finish_part("title sound", Loudness::somewhere) && ok;
    } else {
        ok = false;
    }
    unload_datafile(game_data);
    game_data = nullptr;
    return ok ? 0 : 1;
}
END_OF_MAIN()
