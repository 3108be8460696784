// Benchmark entry: the library runs headless with the in-memory datafile, as in the tests.
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/colors.h"
#include "support/headless.h"

int main(int argc, char** argv)
{
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "cannot start the library headless\n");
        return 1;
    }
    set_color_depth(16);
    make_colors();
    install_fake_game_data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
