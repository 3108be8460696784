// Judges a raw recording from the command line, for tests that record the real game.
//
// Usage: audio_judge recording.raw bits channels frequency silent|somewhere|throughout [seconds]
// With `seconds`, only that much of the start of the recording is judged.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "audio_check.h"

namespace {

bool parse_loudness(const char* word, Loudness* want)
{
    if (std::strcmp(word, "silent") == 0)
        *want = Loudness::silent;
    else if (std::strcmp(word, "somewhere") == 0)
        *want = Loudness::somewhere;
    else if (std::strcmp(word, "throughout") == 0)
        *want = Loudness::throughout;
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Loudness want;
    if ((argc != 6 && argc != 7) || !parse_loudness(argv[5], &want)) {
        std::fprintf(stderr, "usage: audio_judge recording.raw bits channels frequency "
                             "silent|somewhere|throughout [seconds]\n");
        return 2;
    }
    const AudioFormat format{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
    std::vector<uint8_t> bytes;
    if (FILE* f = std::fopen(argv[1], "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes.push_back(static_cast<uint8_t>(c));
        std::fclose(f);
    }
    if (argc == 7) {
        const size_t limit = static_cast<size_t>(std::atof(argv[6]) * format.frequency) *
                             static_cast<size_t>(format.channels * format.bits / 8);
        if (bytes.size() > limit)
            bytes.resize(limit);
    }
    const AudioSummary s = summarise_audio(bytes, format);
    const bool ok = judge_audio(s, want);
    std::printf("%s %s: %d of %d tenths of a second sound\n", argv[5], ok ? "ok" : "FAIL",
                s.sounding_windows, s.windows);
    return ok ? 0 : 1;
}
