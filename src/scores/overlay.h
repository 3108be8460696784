// The two pictures of a modal high-score screen: the screen as found, and a darkened copy.
#pragma once

#include "app/screen_io.h"

// Both live for one screen: made saved first, freed saved first.
struct Overlay {
    ScreenImage saved;
    ScreenImage dimmed;
    ~Overlay() { saved.reset(); }
};

// Makes both; false (and neither kept) when either cannot be had: the screen then skips itself.
bool make_overlay(const ScreenIo& io, Overlay& overlay);
void free_overlay(Overlay& overlay);
// Copies the display into both pictures and darkens the copy. Leaves the library in the
// translucent drawing mode, as every overlay of the game does.
void take_overlay(const ScreenIo& io, const Overlay& overlay);
void show_dimmed(const ScreenIo& io, const Overlay& overlay);
void restore_saved(const ScreenIo& io, const Overlay& overlay);
