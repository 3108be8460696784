// Test entry: start the library without a display, in 16-bit colour, then run the tests.
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/colors.h"

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
        std::fprintf(stderr, "cannot start the library headless\n");
        return 1;
    }
    set_color_depth(16);
    make_colors();
    return RUN_ALL_TESTS();
}
