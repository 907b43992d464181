#pragma once
// A canvas for interface and effect images. The game keys these images on
// colour: pure black is fully transparent, every other colour opaque. The
// canvas keeps a coverage per pixel next to the colour and writes pure black
// exactly where nothing was painted.
#include <initializer_list>
#include <vector>

#include "common/image.h"
#include "texgen/procedural.h"

namespace texgen {

struct Point {
    float x;
    float y;
};

class Sprite {
public:
    explicit Sprite(int size);
    int Size() const { return size; }

    // Paints every pixel whose centre lies inside a shape (distance(x, y) < 0,
    // pixel units, y down) with paint(x, y), anti-aliased over one pixel.
    template <class Distance, class Paint>
    void Fill(Distance distance, Paint paint) {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float amount = Clamp01(0.5f - distance(px, py));
                if (amount > 0.0f) Blend(x, y, paint(px, py), amount);
            }
    }
    // Sets a pixel directly; an amount (coverage) of 0 leaves it transparent.
    void Put(int x, int y, Colour paint, float amount);

    // The finished image: pixels less than half covered become pure black
    // (unless painted all round), the rest keep their colour but never
    // quite reach pure black.
    RgbImage ToKeyedImage() const;

private:
    void Blend(int x, int y, Colour paint, float amount);
    // Uncovered, but painted on all four sides.
    bool IsPinhole(int x, int y) const;
    int size;
    ColourMap colour;
    FloatMap coverage;
};

// Signed distance to a convex polygon given in order around its edge
// (negative inside); exact inside and along the edges, close near corners.
float ConvexPolygonDistance(float px, float py, std::initializer_list<Point> corners);
float CircleDistance(float px, float py, float cx, float cy, float radius);

}  // namespace texgen
