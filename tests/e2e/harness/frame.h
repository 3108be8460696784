// One captured 640x480 picture of the screen, and the colour tests the end-to-end checks make on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r, g, b;
};

struct Rect {
    int x, y, w, h;
};

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels; // row-major

    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool empty() const { return pixels.empty(); }
};

// A 16-bit colour comes back from a 24-bit server a few steps off, so colours match with a tolerance.
constexpr int default_tolerance = 10;

bool near_color(Rgb a, Rgb b, int tolerance = default_tolerance);

// How many pixels inside `area` (clipped to the frame) are near `color`.
int count_near(const Frame& frame, Rect area, Rgb color, int tolerance = default_tolerance);

// How many pixels inside `area` differ between two frames of the same size.
int count_changed(const Frame& a, const Frame& b, Rect area);

// Brightest channel value found inside `area`.
int max_channel(const Frame& frame, Rect area);

// Writes a binary PPM a person can open; returns false when the file cannot be written.
bool save_ppm(const Frame& frame, const std::string& path);
