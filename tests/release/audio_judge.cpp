// Judges a raw recording from the command line, for tests that record the real game.
//
// Usage: audio_judge recording.raw bits channels frequency silent|somewhere|throughout [seconds]
// With `seconds`, only that much of the start of the recording is judged.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio_check.h"

int main(int argc, char** argv)
{
    const char* words[] = {"silent", "somewhere", "throughout"};
    int want = 0;
    while (argc >= 6 && want < 3 && std::strcmp(argv[5], words[want]) != 0)
        want++;
    if ((argc != 6 && argc != 7) || want == 3) {
        std::fprintf(stderr, "usage: audio_judge recording.raw bits channels frequency "
                             "silent|somewhere|throughout [seconds]\n");
        return 2;
    }
    const AudioFormat format{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (argc == 7)
        bytes.resize(std::min(bytes.size(), static_cast<size_t>(std::atof(argv[6]) * format.frequency) *
                                                static_cast<size_t>(format.channels * format.bits / 8)));
    const AudioSummary s = summarise_audio(bytes, format);
    const bool ok = judge_audio(s, static_cast<Loudness>(want));
    std::printf("%s %s: %d of %d tenths of a second sound\n", argv[5], ok ? "ok" : "FAIL", s.sounding_windows,
                s.windows);
    return ok ? 0 : 1;
}
