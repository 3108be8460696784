// The replay reader against any text: it never crashes or allocates without bound, a replay it
// accepts writes back to the same text, and re-simulating it stays within the recorded ticks.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "replay/replay_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    Replay replay;
    std::string problem;
    if (!parse_replay(text, replay, problem)) {
        if (problem.empty())
            std::abort(); // a refusal always says why
        return 0;
    }
    Replay again;
    if (!parse_replay(replay_text(replay), again, problem) || replay_text(again) != replay_text(replay))
        std::abort();
    const GameState end = resimulate(replay);
    if (end.ticks > replay.end_tick || end.ticks < 0)
        std::abort();
    (void)verify_replay(replay);
    return 0;
}
