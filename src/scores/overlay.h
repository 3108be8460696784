// The two pictures of a modal high-score screen: the screen as found, and a darkened copy.
#pragma once

#include <allegro.h>

// Both bitmaps live for one screen: made saved first, freed saved first.
class Overlay {
public:
    Overlay();
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // False when either bitmap could not be had; the screen then skips itself.
    bool made() const { return saved && dimmed; }
    // Copies `target` into both pictures and darkens the copy. Leaves the library in
    // translucent drawing mode, as every overlay of the game does.
    void take(BITMAP* target);
    void show(BITMAP* target) const;
    void restore(BITMAP* target) const;

    BITMAP* saved;
    BITMAP* dimmed;
};
