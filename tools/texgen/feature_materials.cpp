// Materials for details and special surfaces: trims, hazard stripes, a
// door, crates, lava, slime, a starry sky and two light fittings.
#include <algorithm>
#include <cmath>
#include <utility>

#include "texgen/material_makers.h"
#include "texgen/patterns.h"
#include "texgen/procedural.h"

namespace texgen {

namespace {

float Unit(int pixel, int size) { return (pixel + 0.5f) / size; }

// Distance from a pixel centre to the nearest side of the texture.
float BorderDistance(int x, int y, int size) {
    const float px = x + 0.5f, py = y + 0.5f;
    return std::min(std::min(px, size - px), std::min(py, size - py));
}

// 1 on the yellow bands of diagonal hazard stripes `period` pixels apart
// along the rows, 0 on the dark ones, with a one-pixel soft edge.
float HazardBand(float x, float y, float period) {
    const float phase = std::fmod(x + y, period);
    const float half = period / 2.0f;
    const float toEdge = std::min(std::min(phase, std::fabs(phase - half)), period - phase);
    const float yellow = phase < half ? 1.0f : 0.0f;
    const float blend = SmoothStep(0.0f, 1.0f, toEdge);
    return Lerp(0.5f, yellow, blend);
}

// Wood whose grain runs along the rows (grainAcross) or down the columns,
// with rings shaped by the noise seed; `tone` picks light or dark wood.
Colour WoodGrain(float u, float v, bool grainAcross, std::uint32_t seed, float tone) {
    const Ramp wood({{0.0f, Rgb(112, 74, 40)}, {0.5f, Rgb(162, 116, 66)}, {1.0f, Rgb(202, 156, 98)}});
    const float rings = (grainAcross ? TileFbm(u, v, 1, 8, 4, seed) : TileFbm(u, v, 8, 1, 4, seed)) * 8.0f;
    const float ring = std::fabs(2.0f * (rings - std::floor(rings)) - 1.0f);
    const float fibres = grainAcross ? TileNoise(u, v, 4, 128, seed + 1) : TileNoise(u, v, 128, 4, seed + 1);
    return Scale(wood(Clamp01(tone + 0.3f * (ring - 0.5f))), 0.88f + 0.24f * fibres);
}

}  // namespace

RgbImage MakeMetalTrim(int size) {
    constexpr std::uint32_t kSeed = 3100;
    constexpr int kBand = 32;
    constexpr float kGroove = 3.0f;
    constexpr float kBoltRadius = 4.0f;
    const Colour steel = Rgb(128, 134, 142);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float ly = y % kBand + 0.5f;
            const float fromGroove = std::min(ly, kBand - ly) - kGroove / 2;
            const float bar = SmoothStep(0.0f, 6.0f, fromGroove);
            const bool boltedBand = (y / kBand) % 2 == 0;
            const float boltDx = WrappedDelta(x + 0.5f, kBand / 2.0f, static_cast<float>(kBand));
            const float bolt = boltedBand ? Dome(boltDx, ly - kBand / 2.0f, kBoltRadius) : 0.0f;
            const float brushed = TileFbm(u, v, 2, 128, 3, kSeed + 1);
            const float grime = SmoothStep(0.5f, 0.8f, TileFbm(u, v, 4, 4, kSeed + 2));
            float shade = (0.85f + 0.3f * brushed) * (1.0f - 0.25f * grime);
            if (fromGroove <= 0.0f) shade *= 0.5f;
            albedo.At(x, y) = Scale(bolt > 0.0f ? Rgb(150, 146, 132) : steel, shade);
            heights.At(x, y) = 0.7f * std::sqrt(bar) + 0.4f * bolt + 0.03f * brushed;
        }
    return LitGlossyImage(std::move(albedo), heights, 6.0f, 6.0f, 10.0f, Rgb(150, 150, 160));
}

RgbImage MakeHazardStripes(int size) {
    constexpr std::uint32_t kSeed = 3200;
    const float period = size / 2.0f;
    const Colour yellow = Rgb(232, 186, 28);
    const Colour dark = Rgb(38, 36, 34);
    const Colour bareMetal = Rgb(150, 148, 144);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float band = HazardBand(x + 0.5f, y + 0.5f, period);
            const float wear = TileFbm(u, v, 16, 4, kSeed + 1);
            const float chipped = SmoothStep(0.72f, 0.75f, wear);
            const float dirt = TileFbm(u, v, 4, 4, kSeed + 2);
            const Colour paint = Mix(dark, yellow, band);
            const Colour colour = Mix(paint, Scale(bareMetal, 0.8f + 0.3f * dirt), chipped);
            albedo.At(x, y) = Scale(colour, 0.85f + 0.25f * dirt);
            heights.At(x, y) = 0.3f * (1.0f - chipped) + 0.05f * wear;
        }
    return LitImage(std::move(albedo), heights, 4.0f);
}

RgbImage MakeMetalDoor(int size) {
    constexpr std::uint32_t kSeed = 3300;
    const float frame = size * 0.05f;
    const float half = size / 2.0f;
    const float bandTop = size * 0.44f, bandBottom = size * 0.56f;
    const float panelHalfWidth = size * 0.17f, panelHalfHeight = size * 0.14f;
    constexpr float kSeamHalf = 1.5f;
    constexpr float kRivetSpacing = 16.0f;
    const Colour paint = Rgb(98, 116, 134);
    const Colour steel = Rgb(140, 142, 146);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float px = x + 0.5f, py = y + 0.5f;
            const float border = BorderDistance(x, y, size);
            const float seam = std::fabs(px - half);
            const float leafX = std::fmod(px, half) - half / 2.0f;
            const float panelY = py < half ? py - size * 0.24f : py - size * 0.76f;
            const float panel = RoundedBoxDistance(leafX, panelY, panelHalfWidth, panelHalfHeight, 6.0f);
            const float grime = TileFbm(u, v, 4, 5, kSeed + 1);
            const float grain = TileFbm(u, v, 64, 2, kSeed + 2);
            Colour colour = paint;
            float height = 0.6f;
            if (border < frame) {
                colour = steel;
                height = 0.8f + 0.2f * SmoothStep(0.0f, 4.0f, std::min(frame - border, border + 0.5f));
                // Rivets run along the middle of the frame on every side.
                const bool sideFrame = std::min(px, size - px) < std::min(py, size - py);
                const float along = sideFrame ? py : px;
                const float rivetDx = WrappedDelta(along, kRivetSpacing / 2, kRivetSpacing);
                height += 0.25f * Dome(rivetDx, border - frame / 2, 2.5f);
            } else if (py >= bandTop && py < bandBottom) {
                colour = Mix(Rgb(40, 38, 36), Rgb(226, 180, 30), HazardBand(px, py, size / 8.0f));
                height = 0.55f;
            } else if (panel < 0.0f) {
                height = 0.6f - 0.25f * SmoothStep(0.0f, 3.0f, -panel);
                colour = Scale(paint, 0.9f);
            }
            if (seam < kSeamHalf) {
                colour = Rgb(30, 32, 36);
                height = 0.2f;
            }
            albedo.At(x, y) = Scale(colour, (0.8f + 0.35f * grime) * (0.94f + 0.12f * grain));
            heights.At(x, y) = height + 0.02f * grain;
        }
    return LitGlossyImage(std::move(albedo), heights, 6.0f, 6.0f, 10.0f, Rgb(120, 125, 135));
}

RgbImage MakeWoodCrate(int size) {
    constexpr std::uint32_t kSeed = 3400;
    const float frame = size / 8.0f;
    const float braceHalf = size / 16.0f;
    const int boards = 4;
    const float boardWidth = static_cast<float>(size) / boards;
    constexpr float kGap = 1.5f;
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float px = x + 0.5f, py = y + 0.5f;
            const float border = BorderDistance(x, y, size);
            const float brace = std::fabs(px - py) * 0.70710678f;
            Colour colour;
            float height;
            if (border < frame) {
                // Top and bottom rails run across, the sides run down.
                const bool rail = std::min(py, size - py) < frame && std::min(px, size - px) >= std::min(py, size - py);
                colour = WoodGrain(u, v, rail, kSeed + (rail ? 1 : 2), 0.55f);
                const float edge = frame - border;
                height = 0.9f + 0.1f * SmoothStep(0.0f, 3.0f, std::min(edge, border + 0.5f));
                const float cornerX = std::min(px, size - px) - frame / 2, cornerY = std::min(py, size - py) - frame / 2;
                if (std::hypot(cornerX, cornerY) < 2.2f) {
                    colour = Rgb(72, 70, 66);
                    height += 0.15f;
                }
            } else if (brace < braceHalf) {
                colour = WoodGrain(u, v, true, kSeed + 3, 0.45f);
                height = 0.7f + 0.1f * SmoothStep(0.0f, 3.0f, braceHalf - brace);
            } else {
                const float inBoard = std::fmod(px, boardWidth);
                const float gap = std::min(inBoard, boardWidth - inBoard);
                const int board = static_cast<int>(px / boardWidth);
                colour = WoodGrain(u, v, false, kSeed + 10 + board, 0.3f + 0.1f * (board % 2));
                height = gap < kGap ? 0.2f : 0.45f;
                if (gap < kGap) colour = Rgb(50, 34, 20);
                colour = Scale(colour, 0.85f);  // boards sit in the frame's shade
            }
            albedo.At(x, y) = colour;
            heights.At(x, y) = height;
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

RgbImage MakeMetalCrate(int size) {
    constexpr std::uint32_t kSeed = 3500;
    const float frame = size * 0.1f;
    const float ribPitch = size / 8.0f;
    const float labelHalfWidth = size * 0.2f, labelHalfHeight = size * 0.08f;
    const Colour olive = Rgb(112, 128, 84);
    const Colour steel = Rgb(146, 148, 150);
    const Colour label = Rgb(214, 206, 180);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float px = x + 0.5f, py = y + 0.5f;
            const float border = BorderDistance(x, y, size);
            const float grime = TileFbm(u, v, 4, 5, kSeed + 1);
            const float scratches = TileFbm(u, v, 32, 4, 3, kSeed + 2);
            Colour colour;
            float height;
            if (border < frame) {
                colour = steel;
                height = 0.8f + 0.2f * SmoothStep(0.0f, 3.0f, std::min(frame - border, border + 0.5f));
                const float cx = std::min(px, size - px) - frame / 2, cy = std::min(py, size - py) - frame / 2;
                const float bolt = Dome(cx, cy, 3.5f);
                height += 0.3f * bolt;
            } else {
                const float rib = 0.5f + 0.5f * std::cos(2.0f * 3.14159265f * px / ribPitch);
                colour = olive;
                height = 0.3f + 0.25f * rib;
                const float toLabel = RoundedBoxDistance(px - size / 2.0f, py - size / 2.0f, labelHalfWidth, labelHalfHeight, 2.0f);
                if (toLabel < 0.0f) {
                    // A painted plate with rows of stencilled marks.
                    const float rowPhase = std::fmod(py - size / 2.0f + labelHalfHeight, 6.0f);
                    const bool mark = rowPhase > 2.0f && rowPhase < 4.0f && toLabel < -4.0f &&
                                      HashUnit(static_cast<int>(px / 3), static_cast<int>(py / 6), kSeed) < 0.7f;
                    colour = mark ? Rgb(60, 58, 52) : label;
                    height = 0.56f;
                }
            }
            albedo.At(x, y) = Scale(colour, (0.8f + 0.3f * grime) * (0.92f + 0.16f * scratches));
            heights.At(x, y) = height;
        }
    return LitGlossyImage(std::move(albedo), heights, 5.0f, 5.0f, 10.0f, Rgb(110, 110, 110));
}

RgbImage MakeLava(int size) {
    constexpr std::uint32_t kSeed = 3600;
    constexpr float kWarp = 0.06f;
    const Ramp heat({{0.0f, Rgb(36, 12, 8)},
                     {0.2f, Rgb(92, 22, 8)},
                     {0.45f, Rgb(204, 60, 6)},
                     {0.7f, Rgb(250, 140, 20)},
                     {1.0f, Rgb(255, 236, 140)}});
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float wu = u + kWarp * (TileFbm(u, v, 3, 4, kSeed + 1) - 0.5f) * 2.0f;
            const float wv = v + kWarp * (TileFbm(u, v, 3, 4, kSeed + 2) - 0.5f) * 2.0f;
            const float flow = TileFbm(wu, wv, 4, 5, kSeed + 4);
            const float veins = TileRidged(wu, wv, 3, 4, kSeed + 5);
            const float molten = 0.45f + 0.4f * flow + 0.35f * veins * veins;
            // Floating slabs of cooled crust with ragged, glowing rims.
            const CellSample plates = TileCells(wu, wv, 5, kSeed + 3);
            const bool hasCrust = HashUnit(static_cast<int>(plates.id), 0, kSeed) < 0.6f;
            const float ragged = plates.secondNearest - plates.nearest + 0.2f * (TileFbm(u, v, 16, 3, kSeed + 6) - 0.5f);
            const float crust = hasCrust ? SmoothStep(0.05f, 0.16f, ragged) : 0.0f;
            // Hairline cracks in the crust still glow.
            const CellSample fissures = TileCells(u, v, 16, kSeed + 8);
            const float fissureGlow = SmoothStep(0.4f, 0.7f, TileFbm(u, v, 8, 3, kSeed + 9));
            const float fissure = fissureGlow * (1.0f - SmoothStep(0.0f, 0.12f, fissures.secondNearest - fissures.nearest));
            const float cooled = 0.1f + 0.22f * TileFbm(u, v, 32, 3, kSeed + 7) + 0.35f * fissure;
            albedo.At(x, y) = heat(Clamp01(Lerp(molten, cooled, crust)));
            heights.At(x, y) = 0.5f * crust + 0.15f * flow;
        }
    return LitImage(std::move(albedo), heights, 6.0f);
}

RgbImage MakeSlime(int size) {
    constexpr std::uint32_t kSeed = 3700;
    constexpr float kWarp = 0.08f;
    const Ramp ooze({{0.0f, Rgb(34, 92, 18)}, {0.5f, Rgb(96, 176, 36)}, {1.0f, Rgb(186, 238, 90)}});
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float wu = u + kWarp * (TileFbm(u, v, 2, 4, kSeed + 1) - 0.5f) * 2.0f;
            const float wv = v + kWarp * (TileFbm(u, v, 2, 4, kSeed + 2) - 0.5f) * 2.0f;
            const float swirl = TileFbm(wu, wv, 4, 5, kSeed + 3);
            const CellSample bubbles = TileCells(u, v, 10, kSeed + 4);
            const float chance = HashUnit(static_cast<int>(bubbles.id), 0, kSeed);
            const float radius = 0.15f + 0.25f * HashUnit(static_cast<int>(bubbles.id), 1, kSeed);
            const float bubble = chance < 0.5f ? Dome(bubbles.offsetX, bubbles.offsetY, radius) : 0.0f;
            albedo.At(x, y) = Scale(ooze(Clamp01(1.5f * (swirl - 0.5f) + 0.55f + 0.3f * bubble)), 1.0f);
            heights.At(x, y) = 0.5f * swirl + 0.5f * bubble;
        }
    return LitGlossyImage(std::move(albedo), heights, 6.0f, 10.0f, 24.0f, Rgb(220, 255, 200));
}

RgbImage MakeStarSky(int size) {
    constexpr std::uint32_t kSeed = 3800;
    constexpr int kStarCells = 24;
    constexpr int kFaintCells = 64;
    const Colour deep = Rgb(4, 6, 18);
    const Colour nebulaBlue = Rgb(30, 44, 110);
    const Colour nebulaRed = Rgb(90, 26, 70);
    ColourMap sky(size, size);
    const float pixelsPerStar = static_cast<float>(size) / kStarCells;
    const float pixelsPerFaint = static_cast<float>(size) / kFaintCells;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float cloud = SmoothStep(0.45f, 0.8f, TileFbm(u, v, 3, 6, kSeed + 1));
            const float tint = TileFbm(u, v, 2, 3, kSeed + 2);
            Colour colour = Add(deep, Scale(Mix(nebulaBlue, nebulaRed, tint), 0.6f * cloud));
            const CellSample bright = TileCells(u, v, kStarCells, kSeed + 3);
            const float power = std::pow(HashUnit(static_cast<int>(bright.id), 0, kSeed), 6.0f);
            const float dx = bright.offsetX * pixelsPerStar, dy = bright.offsetY * pixelsPerStar;
            float star = power * std::exp(-(dx * dx + dy * dy) / 0.8f);
            if (power > 0.5f) {
                // The brightest stars get a small cross of light.
                star += 0.5f * power * std::exp(-std::fabs(dx) * 1.5f - dy * dy * 4.0f);
                star += 0.5f * power * std::exp(-std::fabs(dy) * 1.5f - dx * dx * 4.0f);
            }
            const CellSample faint = TileCells(u, v, kFaintCells, kSeed + 4);
            const float fx = faint.offsetX * pixelsPerFaint, fy = faint.offsetY * pixelsPerFaint;
            star += 0.35f * HashUnit(static_cast<int>(faint.id), 0, kSeed) * std::exp(-(fx * fx + fy * fy) / 0.3f);
            const Colour starColour = Mix(Rgb(255, 220, 190), Rgb(200, 220, 255), HashUnit(static_cast<int>(bright.id), 1, kSeed));
            sky.At(x, y) = Add(colour, Scale(starColour, star));
        }
    return sky.ToImage();
}

RgbImage MakeLightPanel(int size) {
    constexpr std::uint32_t kSeed = 3900;
    const float frame = size * 0.08f;
    constexpr float kPrismPitch = 8.0f;
    const Colour diffuser = Rgb(240, 246, 255);
    const Colour metal = Rgb(150, 152, 158);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float border = BorderDistance(x, y, size);
            if (border < frame) {
                const float grain = TileFbm(u, v, 32, 3, kSeed + 1);
                albedo.At(x, y) = Scale(metal, 0.9f + 0.2f * grain);
                heights.At(x, y) = 0.6f + 0.4f * SmoothStep(0.0f, 3.0f, std::min(frame - border, border + 0.5f));
            } else {
                const float inner = (border - frame) / (size / 2.0f - frame);
                const float glow = 0.86f + 0.14f * SmoothStep(0.0f, 0.5f, inner);
                const bool prism = WrappedDelta(x + 0.5f, 0.0f, kPrismPitch) < 0.6f ||
                                   WrappedDelta(y + 0.5f, 0.0f, kPrismPitch) < 0.6f;
                albedo.At(x, y) = Scale(diffuser, glow * (prism ? 0.93f : 1.0f));
                heights.At(x, y) = 0.5f;
            }
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

RgbImage MakeAmberLight(int size) {
    constexpr std::uint32_t kSeed = 4000;
    const float centre = size / 2.0f;
    const float lampRadius = size * 0.34f;
    const float rimWidth = size * 0.05f;
    const float barSpacing = size * 0.14f;
    constexpr float kBarHalf = 1.8f;
    const Colour housing = Rgb(128, 124, 116);
    const Ramp glass({{0.0f, Rgb(255, 248, 214)}, {0.5f, Rgb(255, 204, 96)}, {1.0f, Rgb(236, 140, 40)}});
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float dx = x + 0.5f - centre, dy = y + 0.5f - centre;
            const float r = std::hypot(dx, dy);
            const float border = BorderDistance(x, y, size);
            const float grain = TileFbm(u, v, 32, 3, kSeed + 1);
            Colour colour = Scale(housing, 0.88f + 0.24f * grain);
            float height = 0.4f + 0.2f * SmoothStep(0.0f, 4.0f, border);
            const float corner = std::hypot(std::fabs(dx) - centre * 0.8f, std::fabs(dy) - centre * 0.8f);
            height += 0.3f * Dome(corner, 0.0f, 3.5f);
            if (r < lampRadius) {
                colour = glass(r / lampRadius);
                height = 0.5f;
                const float barDistance = std::fabs(std::fmod(std::fabs(dy) + barSpacing / 2, barSpacing) - barSpacing / 2);
                if (barDistance < kBarHalf) {
                    colour = Rgb(96, 94, 90);
                    height = 0.9f + 0.1f * Dome(barDistance, 0.0f, kBarHalf);
                }
            } else if (r < lampRadius + rimWidth) {
                colour = Rgb(170, 170, 172);
                height = 0.6f + 0.4f * Dome(r - lampRadius - rimWidth / 2, 0.0f, rimWidth / 2);
            }
            albedo.At(x, y) = colour;
            heights.At(x, y) = height;
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

}  // namespace texgen
