// Benchmark entry: the library runs headless with the generated datafile, as the game sees it.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/assets.h"
#include "app/colors.h"

int main(int argc, char** argv)
{
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "cannot start the library headless\n");
        return 1;
    }
    set_color_depth(16);
    make_colors();
    if (const char* problem = load_game_data(BLOCKS_DAT_PATH)) {
        std::fprintf(stderr, "%s\n", problem);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
