// Signed-distance shapes: exact distances where cheap, good estimates elsewhere.
#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float pi = 3.14159265f;

float segment_distance(float px, float py, Point a, Point b)
{
    const float dx = b.first - a.first, dy = b.second - a.second;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? ((px - a.first) * dx + (py - a.second) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float ex = px - (a.first + t * dx), ey = py - (a.second + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace

Shape rounded_box(float x, float y, float w, float h, float radius)
{
    const float cx = x + w / 2, cy = y + h / 2;
    const float hx = w / 2 - radius, hy = h / 2 - radius;
    return [=](float px, float py) {
        const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
        const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Shape circle(float cx, float cy, float radius)
{
    return [=](float px, float py) { return std::hypot(px - cx, py - cy) - radius; };
}

Shape ring(float cx, float cy, float radius, float thickness)
{
    return [=](float px, float py) {
        return std::fabs(std::hypot(px - cx, py - cy) - radius) - thickness / 2;
    };
}

Shape polygon(std::vector<Point> corners)
{
    return [corners = std::move(corners)](float px, float py) {
        float d = 1e9f;
        bool inside = false;
        const size_t n = corners.size();
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const Point a = corners[i], b = corners[j];
            d = std::min(d, segment_distance(px, py, a, b));
            const bool crosses = (a.second > py) != (b.second > py);
            if (crosses && px < (b.first - a.first) * (py - a.second) / (b.second - a.second) + a.first)
                inside = !inside;
        }
        return inside ? -d : d;
    };
}

Shape regular_star(float cx, float cy, float outer, float inner, int points, float turn)
{
    std::vector<Point> corners;
    for (int i = 0; i < 2 * points; i++) {
        const float angle = turn + pi * i / points - pi / 2;
        const float r = (i % 2 == 0) ? outer : inner;
        corners.emplace_back(cx + r * std::cos(angle), cy + r * std::sin(angle));
    }
    return polygon(std::move(corners));
}

// Two circles over a square turned 45 degrees: the classic heart.
Shape heart(float cx, float cy, float size)
{
    const float r = size * 0.3f;
    const float lobe_y = cy - size * 0.12f;
    Shape left = circle(cx - r * 0.95f, lobe_y, r);
    Shape right = circle(cx + r * 0.95f, lobe_y, r);
    Shape point = polygon({{cx - r * 1.85f, lobe_y + r * 0.35f},
                           {cx, cy + size * 0.48f},
                           {cx + r * 1.85f, lobe_y + r * 0.35f},
                           {cx, lobe_y - r * 0.2f}});
    return unite(unite(left, right), point);
}

Shape unite(Shape a, Shape b)
{
    return [a = std::move(a), b = std::move(b)](float x, float y) { return std::min(a(x, y), b(x, y)); };
}

Shape cut_out(Shape a, Shape hole)
{
    return [a = std::move(a), hole = std::move(hole)](float x, float y) {
        return std::max(a(x, y), -hole(x, y));
    };
}

Shape grown(Shape a, float by)
{
    return [a = std::move(a), by](float x, float y) { return a(x, y) - by; };
}
