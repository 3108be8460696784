// Signed-distance shapes for the generator's pictures: boxes, circles, polygons and symbols.
#pragma once

#include "canvas.h"

#include <utility>
#include <vector>

using Point = std::pair<float, float>;

Shape rounded_box(float x, float y, float w, float h, float radius);
Shape circle(float cx, float cy, float radius);
Shape ring(float cx, float cy, float radius, float thickness);
// Any simple polygon, corners in order (either direction).
Shape polygon(std::vector<Point> corners);
Shape regular_star(float cx, float cy, float outer, float inner, int points, float turn);
Shape heart(float cx, float cy, float size);

Shape unite(Shape a, Shape b);
Shape cut_out(Shape a, Shape hole);
Shape grown(Shape a, float by);
