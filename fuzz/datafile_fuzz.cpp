// Start-up's datafile check against any file content: a clear refusal or a catalogue, never a crash.
#include <allegro.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/assets.h"
#include "app/datafile_shape.h"
#include "in_temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    start_in_temp_dir();
    write_input(datafile_name, data, size);
    const char* problem = load_game_data(datafile_name);
    if (problem) {
        // Every refusal names the file, so the player knows which one to replace.
        if (std::strstr(problem, datafile_name) == nullptr || game_data != nullptr)
            std::abort();
        // Whatever passes the check loads, even when the catalogue then refuses it.
        if (check_datafile_shape(datafile_name) == nullptr) {
            DATAFILE* loaded = load_datafile(datafile_name);
            if (!loaded)
                std::abort();
            unload_datafile(loaded);
        }
        return 0;
    }
    if (!game_data || check_game_data(game_data) != nullptr)
        std::abort();
    unload_datafile(game_data);
    game_data = nullptr;
    return 0;
}
