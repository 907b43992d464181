#include "texgen/sprite_canvas.h"

#include <algorithm>
#include <cmath>

namespace texgen {

namespace {

constexpr float kVisibleCoverage = 0.5f;
constexpr float kDarkestVisible = 1.0f / 255.0f;

}  // namespace

Sprite::Sprite(int size) : size(size), colour(size, size), coverage(size, size) {}

void Sprite::Blend(int x, int y, Colour paint, float amount) {
    colour.At(x, y) = Mix(colour.At(x, y), paint, coverage.At(x, y) > 0.0f ? amount : 1.0f);
    coverage.At(x, y) = std::max(coverage.At(x, y), amount);
}

void Sprite::Put(int x, int y, Colour paint, float amount) {
    colour.At(x, y) = paint;
    coverage.At(x, y) = amount;
}

bool Sprite::IsPinhole(int x, int y) const {
    if (x == 0 || y == 0 || x == size - 1 || y == size - 1) return false;
    return coverage.At(x - 1, y) >= kVisibleCoverage && coverage.At(x + 1, y) >= kVisibleCoverage &&
           coverage.At(x, y - 1) >= kVisibleCoverage && coverage.At(x, y + 1) >= kVisibleCoverage;
}

RgbImage Sprite::ToKeyedImage() const {
    ColourMap keyed(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Colour c = colour.At(x, y);
            if (coverage.At(x, y) < kVisibleCoverage) {
                if (!IsPinhole(x, y)) continue;
                // A lone see-through pixel inside paint: close it with its neighbours' colour.
                const Colour sum = Add(Add(colour.At(x - 1, y), colour.At(x + 1, y)),
                                       Add(colour.At(x, y - 1), colour.At(x, y + 1)));
                c = Scale(sum, 0.25f);
            }
            keyed.At(x, y) = {std::max(c.r, kDarkestVisible), std::max(c.g, kDarkestVisible),
                              std::max(c.b, kDarkestVisible)};
        }
    return keyed.ToImage();
}

float ConvexPolygonDistance(float px, float py, std::initializer_list<Point> corners) {
    const Point* points = corners.begin();
    const std::size_t count = corners.size();
    // Orientation decides which side of each edge is inside.
    float area = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const Point a = points[i], b = points[(i + 1) % count];
        area += a.x * b.y - b.x * a.y;
    }
    const float side = area > 0.0f ? 1.0f : -1.0f;
    float distance = -1e9f;
    for (std::size_t i = 0; i < count; ++i) {
        const Point a = points[i], b = points[(i + 1) % count];
        const float ex = b.x - a.x, ey = b.y - a.y;
        const float length = std::hypot(ex, ey);
        const float inward = side * (ex * (py - a.y) - ey * (px - a.x)) / length;
        distance = std::max(distance, -inward);
    }
    return distance;
}

float CircleDistance(float px, float py, float cx, float cy, float radius) {
    return std::hypot(px - cx, py - cy) - radius;
}

}  // namespace texgen
