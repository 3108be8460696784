// The catalogue of "blocks.dat": which object sits at which index, and typed access to it.
#pragma once

#include <allegro.h>

// The datafile's objects in file order; the program never uses a bare index.
enum class Asset : int {
    logo,             // BITMAP 640x480, mask colour lets the stars through
    tile_strip,       // BITMAP >= 192x32, tiles 0-5 side by side
    well_background,  // BITMAP, stretched onto each 192x384 well
    game_background,  // BITMAP, stretched onto the 640x480 game screen
    cursor_a,         // BITMAP, first cursor frame
    cursor_b,         // BITMAP, second cursor frame
    popup_strip,      // BITMAP >= 384x32, twelve popup pictures
    title_picture,    // BITMAP, stretched onto the 640x480 title screen
    normal_font,      // FONT
    large_font,       // FONT
    starfield_music,  // MIDI
    game_music,       // MIDI
    title_sound,      // SAMPLE
    start_sound,      // SAMPLE
    match_sound,      // SAMPLE
    warning_sound,    // SAMPLE
    last_moment_sound // SAMPLE
};

constexpr int asset_count = 17;
constexpr const char* datafile_name = "blocks.dat";

extern DATAFILE* game_data;

BITMAP* asset_bitmap(Asset a);
FONT* asset_font(Asset a);
MIDI* asset_midi(Asset a);
SAMPLE* asset_sample(Asset a);

// Loads `path` into game_data and checks every catalogued object.
// Returns nullptr on success, or a message naming the file and what is wrong.
const char* load_game_data(const char* path);

// nullptr when `data` holds the seventeen objects with their types and sizes.
const char* check_game_data(const DATAFILE* data);
