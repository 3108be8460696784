// Colour matching over captured frames, and writing them out for a person to look at.
#include "harness/frame.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

Rect clip(const Frame& frame, Rect area)
{
    const int x0 = std::max(area.x, 0);
    const int y0 = std::max(area.y, 0);
    const int x1 = std::min(area.x + area.w, frame.width);
    const int y1 = std::min(area.y + area.h, frame.height);
    return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

} // namespace

bool near_color(Rgb a, Rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

int count_near(const Frame& frame, Rect area, Rgb color, int tolerance)
{
    const Rect c = clip(frame, area);
    int count = 0;
    for (int y = c.y; y < c.y + c.h; y++)
        for (int x = c.x; x < c.x + c.w; x++)
            if (near_color(frame.at(x, y), color, tolerance))
                count++;
    return count;
}

int count_changed(const Frame& a, const Frame& b, Rect area)
{
    if (a.width != b.width || a.height != b.height)
        return area.w * area.h;
    const Rect c = clip(a, area);
    int count = 0;
    for (int y = c.y; y < c.y + c.h; y++)
        for (int x = c.x; x < c.x + c.w; x++)
            if (!near_color(a.at(x, y), b.at(x, y), 0))
                count++;
    return count;
}

int max_channel(const Frame& frame, Rect area)
{
    const Rect c = clip(frame, area);
    int best = 0;
    for (int y = c.y; y < c.y + c.h; y++)
        for (int x = c.x; x < c.x + c.w; x++) {
            const Rgb p = frame.at(x, y);
            best = std::max({best, int(p.r), int(p.g), int(p.b)});
        }
    return best;
}

bool save_ppm(const Frame& frame, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", frame.width, frame.height);
    for (const Rgb& p : frame.pixels) {
        const unsigned char rgb[3] = {p.r, p.g, p.b};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}
