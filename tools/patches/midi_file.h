// Writing a loaded tune back out as a Standard MIDI File, for tools that read .mid files.
#pragma once

#include <allegro.h>

// Writes `tune` to `path` as a format-1 file holding its non-empty tracks in order.
// Returns false when the file cannot be written or the tune has nothing to write.
bool save_midi(const char* path, const MIDI* tune);
