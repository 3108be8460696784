// Lays out what pat2dat needs to cut freepats down to the game's music: the two tunes
// of the datafile as .mid files, and the instrument index in the numbering it reads.
#include <allegro.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/assets.h"
#include "midi_file.h"
#include "patch_index.h"

namespace {

struct Tune {
    Asset asset;
    const char* file_name;
};

constexpr Tune tunes[] = {
    {Asset::starfield_music, "starfield.mid"},
    {Asset::game_music, "game.mid"},
};

int object_count(const DATAFILE* data)
{
    int n = 0;
    while (data[n].type != DAT_END)
        n++;
    return n;
}

bool write_tunes(const char* datafile, const std::string& folder)
{
    set_color_depth(16); // the datafile's bitmaps are converted as they load
    game_data = load_datafile(datafile);
    if (!game_data) {
        std::fprintf(stderr, "prepare_patches: cannot read %s\n", datafile);
        return false;
    }
    const int count = object_count(game_data);
    for (const Tune& tune : tunes) {
        const int at = static_cast<int>(tune.asset);
        if (at >= count || game_data[at].type != DAT_MIDI) {
            std::fprintf(stderr, "prepare_patches: %s has no tune for %s\n", datafile,
                         tune.file_name);
            return false;
        }
        const std::string out = folder + "/" + tune.file_name;
        if (!save_midi(out.c_str(), asset_midi(tune.asset))) {
            std::fprintf(stderr, "prepare_patches: cannot write %s\n", out.c_str());
            return false;
        }
    }
    return true;
}

bool write_index(const char* timidity_index, const std::string& folder)
{
    std::ifstream in(timidity_index);
    if (!in) {
        std::fprintf(stderr, "prepare_patches: cannot read %s\n", timidity_index);
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::ofstream out(folder + "/default.cfg");
    out << gus_index_from_timidity(text.str());
    return static_cast<bool>(out);
}

} // namespace

// Usage: prepare_patches blocks.dat freepats.cfg output-folder
int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: prepare_patches blocks.dat freepats.cfg output-folder\n");
        return 2;
    }
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return 1;
    const bool ok = write_tunes(argv[1], argv[3]) && write_index(argv[2], argv[3]);
    if (game_data)
        unload_datafile(game_data);
    game_data = nullptr;
    return ok ? 0 : 1;
}
