// The fuzz targets' shared start: the library headless, in 16-bit colour, inside a temporary folder.
#include "in_temp_dir.h"

#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <unistd.h>

namespace {

std::string folder;

// Every run leaves its folder behind otherwise; what the targets write there is flat files.
void remove_folder()
{
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.' || entry->d_name[1] != '\0')
                unlink((folder + "/" + entry->d_name).c_str());
        closedir(dir);
    }
    rmdir(folder.c_str());
}

} // namespace

void start_in_temp_dir()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        std::abort();
    set_color_depth(16);
    folder = "/tmp/blockrise-fuzz-XXXXXX";
    if (!mkdtemp(folder.data()) || chdir(folder.c_str()) != 0)
        std::abort();
    std::atexit(remove_folder);
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
