// The catalogue of "blocks.dat": types and minimum sizes of each object, and the start-up check.
#include "app/assets.h"

#include <cstdio>

#include "app/datafile_shape.h"

DATAFILE* game_data = nullptr;

namespace {

struct Entry {
    int type;
    int min_w, min_h; // bitmaps only
    const char* role;
};

const Entry catalogue[asset_count] = {
    {DAT_BITMAP, 1, 1, "logo"},
    {DAT_BITMAP, 192, 32, "block tile strip"},
    {DAT_BITMAP, 1, 1, "well background"},
    {DAT_BITMAP, 1, 1, "game background"},
    {DAT_BITMAP, 1, 1, "cursor, first frame"},
    {DAT_BITMAP, 1, 1, "cursor, second frame"},
    {DAT_BITMAP, 384, 32, "popup strip"},
    {DAT_BITMAP, 1, 1, "title picture"},
    {DAT_FONT, 0, 0, "normal font"},
    {DAT_FONT, 0, 0, "large font"},
    {DAT_MIDI, 0, 0, "starfield music"},
    {DAT_MIDI, 0, 0, "game music"},
    {DAT_SAMPLE, 0, 0, "title sound"},
    {DAT_SAMPLE, 0, 0, "start sound"},
    {DAT_SAMPLE, 0, 0, "match sound"},
    {DAT_SAMPLE, 0, 0, "warning sound"},
    {DAT_SAMPLE, 0, 0, "last-moment sound"},
};

const char* type_name(int type)
{
    switch (type) {
    case DAT_BITMAP: return "a bitmap";
    case DAT_FONT: return "a font";
    case DAT_MIDI: return "a MIDI tune";
    case DAT_SAMPLE: return "a sample";
    default: return "an unknown type";
    }
}

char message[256];

void* object(Asset a)
{
    return game_data ? game_data[static_cast<int>(a)].dat : nullptr;
}

} // namespace

BITMAP* asset_bitmap(Asset a) { return static_cast<BITMAP*>(object(a)); }
FONT* asset_font(Asset a) { return static_cast<FONT*>(object(a)); }
MIDI* asset_midi(Asset a) { return static_cast<MIDI*>(object(a)); }
SAMPLE* asset_sample(Asset a) { return static_cast<SAMPLE*>(object(a)); }

const char* check_game_data(const DATAFILE* data)
{
    for (int i = 0; i < asset_count; i++) {
        const Entry& want = catalogue[i];
        if (data[i].type == DAT_END) {
            std::snprintf(message, sizeof message,
                          "%s: has only %d objects; object %d (%s) should be %s",
                          datafile_name, i, i, want.role, type_name(want.type));
            return message;
        }
        if (data[i].type != want.type || data[i].dat == nullptr) {
            std::snprintf(message, sizeof message, "%s: object %d (%s) should be %s",
                          datafile_name, i, want.role, type_name(want.type));
            return message;
        }
        if (want.type == DAT_BITMAP) {
            const BITMAP* bmp = static_cast<const BITMAP*>(data[i].dat);
            if (bmp->w < want.min_w || bmp->h < want.min_h) {
                std::snprintf(message, sizeof message,
                              "%s: object %d (%s) is %dx%d; it should be at least %dx%d",
                              datafile_name, i, want.role, bmp->w, bmp->h, want.min_w,
                              want.min_h);
                return message;
            }
        }
    }
    return nullptr;
}

const char* load_game_data(const char* path)
{
    // The check reads the file first, and says what it is when it is not a datafile.
    if (const char* problem = check_datafile_shape(path))
        return problem;
    DATAFILE* data = load_datafile(path);
    if (!data) {
        std::snprintf(message, sizeof message, "%s: cannot be read as a datafile", path);
        return message;
    }
    if (const char* problem = check_game_data(data)) {
        unload_datafile(data);
        return problem;
    }
    game_data = data;
    return nullptr;
}
