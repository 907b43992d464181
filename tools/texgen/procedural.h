#pragma once
// Building blocks for procedural pictures: a seeded random generator,
// value noise and cellular noise that wrap around a chosen period (so a
// texture built from them tiles), float maps and colour helpers.
#include <cstdint>
#include <vector>

#include "common/image.h"

namespace texgen {

// A small, fully specified generator (xorshift32 with a scrambled seed) so
// the same seed gives the same pictures with every compiler and library.
class Prng {
public:
    explicit Prng(std::uint32_t seed);
    std::uint32_t Next();
    // Uniform in [0, 1).
    float Unit();
    // Uniform in [lo, hi).
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }
    // Whole number in [0, count).
    int Below(int count);

private:
    std::uint32_t state;
};

// Mixes integers into a well spread 32-bit value.
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);
// Hash mapped to [0, 1).
float HashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed);

// Integer modulo that is never negative.
int Wrap(int value, int period);
float WrapUnit(float value);  // into [0, 1)

float Clamp01(float v);
float Lerp(float a, float b, float t);
float SmoothStep(float edge0, float edge1, float x);

// Value noise on a lattice of `period` cells across the unit square: u and v
// are texture coordinates, the result is in [0, 1] and repeats every 1.
float TileNoise(float u, float v, int period, std::uint32_t seed);
// Lattice with separate periods across and down (stretched grain).
float TileNoise(float u, float v, int periodX, int periodY, std::uint32_t seed);

// Sum of octaves of TileNoise, each doubling the period and halving the
// weight; normalised to [0, 1].
float TileFbm(float u, float v, int basePeriod, int octaves, std::uint32_t seed);
float TileFbm(float u, float v, int basePeriodX, int basePeriodY, int octaves, std::uint32_t seed);
// Ridged variant: sharp crests where the noise crosses its middle.
float TileRidged(float u, float v, int basePeriod, int octaves, std::uint32_t seed);

// Cellular (Worley) noise: one jittered feature point per cell of a
// `period` x `period` grid over the unit square, wrapping around.
struct CellSample {
    float nearest = 0.0f;        // distance to the nearest point, in cells
    float secondNearest = 0.0f;  // distance to the second nearest point
    std::uint32_t id = 0;        // stable number of the nearest point's cell
    float offsetX = 0.0f;        // from the nearest point to the sample, in cells
    float offsetY = 0.0f;
};
CellSample TileCells(float u, float v, int period, std::uint32_t seed);

// A float per pixel, read with wrap-around so filters tile.
class FloatMap {
public:
    FloatMap(int width, int height, float fill = 0.0f);
    int Width() const { return width; }
    int Height() const { return height; }
    float& At(int x, int y) { return values[Index(x, y)]; }
    float At(int x, int y) const { return values[Index(x, y)]; }
    float Wrapped(int x, int y) const { return values[Index(Wrap(x, width), Wrap(y, height))]; }

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }
    int width;
    int height;
    std::vector<float> values;
};

// Fills a map from f(u, v), u and v the pixel centres in [0, 1).
template <class Function>
FloatMap MakeMap(int width, int height, Function f) {
    FloatMap map(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            map.At(x, y) = f((x + 0.5f) / width, (y + 0.5f) / height);
    return map;
}

// Light falling on a height map from the upper left (row 0 is the top of a
// wall): 1 on flat ground, brighter on slopes facing the light, darker on
// those facing away. `depth` scales the slopes.
FloatMap ShadeHeights(const FloatMap& heights, float depth);
// Brightens crests that face the light, like a glossy reflection.
FloatMap GlossFromHeights(const FloatMap& heights, float depth, float sharpness);
// Box blur with wrap-around, `radius` pixels each way.
FloatMap BlurWrapped(const FloatMap& map, int radius);

struct Colour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};
Colour Rgb(int r, int g, int b);  // from 0..255
Colour Mix(Colour a, Colour b, float t);
Colour Scale(Colour c, float factor);
Colour Add(Colour a, Colour b);
float Luminance(Colour c);  // 0..1

// Colour gradient through stops at positions 0..1 (ascending).
class Ramp {
public:
    struct Stop {
        float at;
        Colour colour;
    };
    explicit Ramp(std::vector<Stop> stops);
    Colour operator()(float t) const;

private:
    std::vector<Stop> stops;
};

// A picture in float colour, turned into bytes at the end.
class ColourMap {
public:
    ColourMap(int width, int height, Colour fill = {});
    int Width() const { return width; }
    int Height() const { return height; }
    Colour& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    const Colour& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    // Multiplies every pixel by the map's value.
    void Multiply(const FloatMap& factors);
    // Adds white scaled by the map's value.
    void AddLight(const FloatMap& amounts, Colour tint);
    // Bytes, rounded and clamped.
    RgbImage ToImage() const;

private:
    int width;
    int height;
    std::vector<Colour> pixels;
};

// The picture upside down (for images whose quads put t = 1 at the top).
RgbImage FlipRows(const RgbImage& image);

// The usual last step of a material: the albedo lit by its height map.
RgbImage LitImage(ColourMap albedo, const FloatMap& heights, float depth);
// LitImage with a highlight of the given colour where the relief catches
// the light (GlossFromHeights with glossDepth and glossSharpness).
RgbImage LitGlossyImage(ColourMap albedo, const FloatMap& heights, float reliefDepth, float glossDepth,
                        float glossSharpness, Colour sheen);

}  // namespace texgen
