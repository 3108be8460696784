// The fuzz targets' shared start: the library headless, in 16-bit colour, inside a temporary folder.
#include "in_temp_dir.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

void start_in_temp_dir()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        std::abort();
    set_color_depth(16);
    std::string dir = "/tmp/blockrise-fuzz-XXXXXX";
    if (!mkdtemp(dir.data()) || chdir(dir.c_str()) != 0)
        std::abort();
}

void write_input(const char* name, const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(name, "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}
