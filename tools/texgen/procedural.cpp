#include "texgen/procedural.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace texgen {

namespace {

constexpr std::uint32_t kSeedScramble = 0x9E3779B9u;
constexpr float kTwoTo24 = 16777216.0f;
// Feature points keep this far from their cell's sides so cells stay even.
constexpr float kCellJitterMargin = 0.1f;

// Quintic fade: flat first and second derivatives at the lattice points,
// so shading computed from the noise shows no grid.
float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

struct Vec3f {
    float x, y, z;
};

Vec3f Normalised(Vec3f v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

float Dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The light comes from the upper left and in front of the surface.
const Vec3f kLight = Normalised({-0.55f, -0.65f, 0.75f});

Vec3f SurfaceNormal(const FloatMap& heights, int x, int y, float depth) {
    const float dx = (heights.Wrapped(x + 1, y) - heights.Wrapped(x - 1, y)) * 0.5f * depth;
    const float dy = (heights.Wrapped(x, y + 1) - heights.Wrapped(x, y - 1)) * 0.5f * depth;
    return Normalised({-dx, -dy, 1.0f});
}

}  // namespace

Prng::Prng(std::uint32_t seed) : state(Hash(static_cast<std::int32_t>(seed), 0x51ED, kSeedScramble) | 1u) {}

std::uint32_t Prng::Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Prng::Unit() { return static_cast<float>(Next() >> 8) / kTwoTo24; }

int Prng::Below(int count) { return static_cast<int>(Next() % static_cast<std::uint32_t>(count)); }

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x27D4EB2Fu;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    return static_cast<float>(Hash(x, y, seed) >> 8) / kTwoTo24;
}

int Wrap(int value, int period) {
    const int r = value % period;
    return r < 0 ? r + period : r;
}

float WrapUnit(float value) { return value - std::floor(value); }

float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

float SmoothStep(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float TileNoise(float u, float v, int period, std::uint32_t seed) { return TileNoise(u, v, period, period, seed); }

float TileNoise(float u, float v, int periodX, int periodY, std::uint32_t seed) {
    const float x = u * periodX;
    const float y = v * periodY;
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int x0 = Wrap(static_cast<int>(fx), periodX);
    const int y0 = Wrap(static_cast<int>(fy), periodY);
    const int x1 = Wrap(x0 + 1, periodX);
    const int y1 = Wrap(y0 + 1, periodY);
    const float tx = Fade(x - fx);
    const float ty = Fade(y - fy);
    const float top = Lerp(HashUnit(x0, y0, seed), HashUnit(x1, y0, seed), tx);
    const float bottom = Lerp(HashUnit(x0, y1, seed), HashUnit(x1, y1, seed), tx);
    return Lerp(top, bottom, ty);
}

float TileFbm(float u, float v, int basePeriod, int octaves, std::uint32_t seed) {
    return TileFbm(u, v, basePeriod, basePeriod, octaves, seed);
}

float TileFbm(float u, float v, int basePeriodX, int basePeriodY, int octaves, std::uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += weight * TileNoise(u, v, basePeriodX << octave, basePeriodY << octave, seed + octave * 1013u);
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

float TileRidged(float u, float v, int basePeriod, int octaves, std::uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        const float n = TileNoise(u, v, basePeriod << octave, seed + octave * 7919u);
        const float crest = 1.0f - std::fabs(2.0f * n - 1.0f);
        sum += weight * crest * crest;
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

CellSample TileCells(float u, float v, int period, std::uint32_t seed) {
    const float x = u * period;
    const float y = v * period;
    const int cellX = static_cast<int>(std::floor(x));
    const int cellY = static_cast<int>(std::floor(y));
    CellSample sample;
    float best = 1e9f, second = 1e9f;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int cx = cellX + dx, cy = cellY + dy;
            const int wx = Wrap(cx, period), wy = Wrap(cy, period);
            const float span = 1.0f - 2.0f * kCellJitterMargin;
            const float px = cx + kCellJitterMargin + span * HashUnit(wx, wy, seed);
            const float py = cy + kCellJitterMargin + span * HashUnit(wx, wy, seed ^ 0xA5A5A5A5u);
            const float ox = x - px, oy = y - py;
            const float distance = std::sqrt(ox * ox + oy * oy);
            if (distance < best) {
                second = best;
                best = distance;
                sample.id = Hash(wx, wy, seed ^ 0x1234567u);
                sample.offsetX = ox;
                sample.offsetY = oy;
            } else if (distance < second) {
                second = distance;
            }
        }
    }
    sample.nearest = best;
    sample.secondNearest = second;
    return sample;
}

FloatMap::FloatMap(int width, int height, float fill)
    : width(width), height(height), values(static_cast<std::size_t>(width) * height, fill) {}

FloatMap ShadeHeights(const FloatMap& heights, float depth) {
    FloatMap shade(heights.Width(), heights.Height());
    for (int y = 0; y < heights.Height(); ++y)
        for (int x = 0; x < heights.Width(); ++x) {
            const float lit = Dot(SurfaceNormal(heights, x, y, depth), kLight) / kLight.z;
            shade.At(x, y) = std::max(0.15f, lit);
        }
    return shade;
}

FloatMap GlossFromHeights(const FloatMap& heights, float depth, float sharpness) {
    const Vec3f halfway = Normalised({kLight.x, kLight.y, kLight.z + 1.0f});
    const float flat = std::pow(halfway.z, sharpness);
    FloatMap gloss(heights.Width(), heights.Height());
    for (int y = 0; y < heights.Height(); ++y)
        for (int x = 0; x < heights.Width(); ++x) {
            const float facing = std::max(0.0f, Dot(SurfaceNormal(heights, x, y, depth), halfway));
            gloss.At(x, y) = std::max(0.0f, std::pow(facing, sharpness) - flat);
        }
    return gloss;
}

FloatMap BlurWrapped(const FloatMap& map, int radius) {
    const int w = map.Width(), h = map.Height();
    const float scale = 1.0f / (2 * radius + 1);
    FloatMap across(w, h), result(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            for (int k = -radius; k <= radius; ++k) sum += map.Wrapped(x + k, y);
            across.At(x, y) = sum * scale;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float sum = 0.0f;
            for (int k = -radius; k <= radius; ++k) sum += across.Wrapped(x, y + k);
            result.At(x, y) = sum * scale;
        }
    return result;
}

Colour Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

Colour Mix(Colour a, Colour b, float t) { return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t)}; }

Colour Scale(Colour c, float factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Colour Add(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

float Luminance(Colour c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }

Ramp::Ramp(std::vector<Stop> stops) : stops(std::move(stops)) {}

Colour Ramp::operator()(float t) const {
    if (t <= stops.front().at) return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i)
        if (t <= stops[i].at) {
            const float span = stops[i].at - stops[i - 1].at;
            return Mix(stops[i - 1].colour, stops[i].colour, (t - stops[i - 1].at) / span);
        }
    return stops.back().colour;
}

ColourMap::ColourMap(int width, int height, Colour fill)
    : width(width), height(height), pixels(static_cast<std::size_t>(width) * height, fill) {}

void ColourMap::Multiply(const FloatMap& factors) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) At(x, y) = Scale(At(x, y), factors.At(x, y));
}

void ColourMap::AddLight(const FloatMap& amounts, Colour tint) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) At(x, y) = Add(At(x, y), Scale(tint, amounts.At(x, y)));
}

RgbImage ColourMap::ToImage() const {
    RgbImage image(width, height);
    auto toByte = [](float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour& c = At(x, y);
            image.Set(x, y, toByte(c.r), toByte(c.g), toByte(c.b));
        }
    return image;
}

RgbImage FlipRows(const RgbImage& image) {
    RgbImage flipped(image.width, image.height);
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&image.rgb[y * rowBytes], rowBytes, &flipped.rgb[(image.height - 1 - y) * rowBytes]);
    return flipped;
}

RgbImage LitImage(ColourMap albedo, const FloatMap& heights, float depth) {
    albedo.Multiply(ShadeHeights(heights, depth));
    return albedo.ToImage();
}

RgbImage LitGlossyImage(ColourMap albedo, const FloatMap& heights, float reliefDepth, float glossDepth,
                        float glossSharpness, Colour sheen) {
    albedo.AddLight(GlossFromHeights(heights, glossDepth, glossSharpness), sheen);
    return LitImage(std::move(albedo), heights, reliefDepth);
}

}  // namespace texgen
