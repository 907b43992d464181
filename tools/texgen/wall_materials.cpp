// Wall materials: brick, concrete, metal panels, rock, planks, an organic
// wall and a machinery wall. Each builds a height map and an albedo, then
// lights the albedo with the heights.
#include <algorithm>
#include <cmath>
#include <utility>

#include "texgen/material_makers.h"
#include "texgen/patterns.h"
#include "texgen/procedural.h"

namespace texgen {

namespace {

constexpr float kPi = 3.14159265f;

// Pixel centre as a texture coordinate.
float Unit(int pixel, int size) { return (pixel + 0.5f) / size; }

// Distance to the nearest of the rivets set `inset` pixels inside the sides
// of a face of faceWidth x faceHeight, `spacing` pixels apart.
float NearestRivet(float localX, float localY, float faceWidth, float faceHeight, float inset, float spacing) {
    auto along = [&](float position, float length) {
        const float snapped = inset + std::round((position - inset) / spacing) * spacing;
        return std::min(std::max(snapped, inset), length - inset);
    };
    const float rx = along(localX, faceWidth);
    const float ry = along(localY, faceHeight);
    const float nearSideY = localY < faceHeight / 2 ? inset : faceHeight - inset;
    const float nearSideX = localX < faceWidth / 2 ? inset : faceWidth - inset;
    return std::min(std::hypot(localX - rx, localY - nearSideY), std::hypot(localX - nearSideX, localY - ry));
}

}  // namespace

RgbImage MakeRedBrick(int size) {
    constexpr std::uint32_t kSeed = 1100;
    constexpr int kMortar = 5;
    constexpr float kBevel = 4.0f;
    const BlockLayout layout{size / 4, size / 8, kMortar, size / 8, size};
    const Ramp brickTones({{0.0f, Rgb(112, 44, 34)}, {0.45f, Rgb(162, 72, 52)}, {1.0f, Rgb(196, 110, 78)}});
    const Colour mortar = Rgb(176, 170, 158);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const BlockSample brick = SampleBlocks(x, y, layout, kSeed);
            const float chipped = brick.edgeDistance - 3.0f * TileFbm(u, v, 32, 3, kSeed + 1) + 1.0f;
            const float grain = TileFbm(u, v, 64, 3, kSeed + 2);
            const float blotch = TileFbm(u, v, 8, 4, kSeed + 3);
            const float soot = SmoothStep(0.55f, 0.8f, TileFbm(u, v, 4, 5, kSeed + 4));
            const bool onFace = chipped > 0.0f;
            const float tone = HashUnit(static_cast<int>(brick.id), 7, kSeed);
            Colour face = brickTones(Clamp01(0.1f + 0.8f * tone + 0.6f * (blotch - 0.5f)));
            face = Scale(face, (0.82f + 0.36f * grain) * (1.0f - 0.35f * soot));
            const Colour joint = Scale(mortar, 0.78f + 0.4f * TileFbm(u, v, 128, 2, kSeed + 5));
            albedo.At(x, y) = onFace ? face : joint;
            heights.At(x, y) = onFace ? 0.5f + 0.5f * SmoothStep(0.0f, kBevel, chipped) + 0.25f * grain
                                      : 0.3f * TileFbm(u, v, 128, 2, kSeed + 6);
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

RgbImage MakeConcrete(int size) {
    constexpr std::uint32_t kSeed = 1200;
    const int panel = size / 2;
    const float holeSpacing = panel / 2.0f;
    constexpr float kHoleRadius = 5.0f;
    const Colour base = Rgb(158, 155, 148);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float px = x % panel + 0.5f, py = y % panel + 0.5f;
            const float seamDistance = std::min(std::min(px, panel - px), std::min(py, panel - py));
            const float groove = 1.0f - SmoothStep(0.5f, 2.0f, seamDistance);
            const float hx = std::fmod(px + holeSpacing / 2, holeSpacing) - holeSpacing / 2;
            const float hy = std::fmod(py + holeSpacing / 2, holeSpacing) - holeSpacing / 2;
            const float holeDistance = std::hypot(hx, hy);
            const float hole = 1.0f - SmoothStep(kHoleRadius - 1.5f, kHoleRadius, holeDistance);
            const CellSample pits = TileCells(u, v, 28, kSeed + 1);
            const bool pitted = HashUnit(static_cast<int>(pits.id), 0, kSeed) < 0.45f;
            const float pit = pitted ? 1.0f - SmoothStep(0.05f, 0.13f, pits.nearest) : 0.0f;
            const float blotch = TileFbm(u, v, 4, 5, kSeed + 2);
            const float grain = TileFbm(u, v, 64, 2, kSeed + 3);
            const float streaks = std::pow(TileNoise(u, v, 48, 1, kSeed + 4), 3.0f) * std::pow(1.0f - py / panel, 2.0f);
            const float panelTone = 0.93f + 0.1f * HashUnit(x / panel, y / panel, kSeed);
            float shade = panelTone * (0.78f + 0.44f * blotch) * (0.9f + 0.2f * grain) * (1.0f - 0.35f * streaks);
            shade *= 1.0f - 0.3f * groove - 0.35f * hole - 0.25f * pit;
            albedo.At(x, y) = Scale(base, shade);
            heights.At(x, y) = 0.25f * grain + 0.3f * blotch - 0.5f * groove - 0.8f * hole - 0.4f * pit;
        }
    return LitImage(std::move(albedo), heights, 4.0f);
}

RgbImage MakeMetalPanels(int size) {
    constexpr std::uint32_t kSeed = 1300;
    constexpr int kSeam = 4;
    constexpr float kBevel = 6.0f;
    constexpr float kRivetInset = 8.0f;
    constexpr float kRivetSpacing = 16.0f;
    constexpr float kRivetRadius = 3.2f;
    const BlockLayout layout{size / 2, size / 2, kSeam, 0, size};
    const int faceWidth = size / 2 - kSeam;
    const float face = static_cast<float>(faceWidth);
    const Colour steel = Rgb(136, 142, 150);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const BlockSample plate = SampleBlocks(x, y, layout, kSeed);
            const float raised = SmoothStep(0.0f, kBevel, plate.edgeDistance);
            const float rivetDistance =
                NearestRivet(plate.localX, plate.localY, face, face, kRivetInset, kRivetSpacing);
            const float rivet = Dome(rivetDistance, 0.0f, kRivetRadius);
            const float brushed = TileFbm(u, v, 2, 128, 3, kSeed + 1);
            const float grime = SmoothStep(0.45f, 0.75f, TileFbm(u, v, 4, 5, kSeed + 2));
            const float nearSeam = 1.0f - SmoothStep(0.0f, 14.0f, plate.edgeDistance);
            const float tint = 0.9f + 0.15f * HashUnit(static_cast<int>(plate.id), 1, kSeed);
            float shade = tint * (0.85f + 0.3f * brushed) * (1.0f - 0.3f * grime) * (1.0f - 0.25f * nearSeam);
            if (plate.edgeDistance <= 0.0f) shade *= 0.45f;
            albedo.At(x, y) = Scale(steel, shade);
            heights.At(x, y) = 0.6f * raised + 0.35f * rivet + 0.04f * brushed;
        }
    return LitGlossyImage(std::move(albedo), heights, 6.0f, 6.0f, 12.0f, Rgb(150, 155, 165));
}

RgbImage MakeRock(int size) {
    constexpr std::uint32_t kSeed = 1400;
    const Ramp stone({{0.0f, Rgb(66, 60, 54)}, {0.4f, Rgb(118, 106, 92)}, {0.75f, Rgb(156, 146, 130)},
                      {1.0f, Rgb(186, 178, 164)}});
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float wu = u + 0.06f * (TileFbm(u, v, 4, 4, kSeed + 5) - 0.5f);
            const float wv = v + 0.06f * (TileFbm(u, v, 4, 4, kSeed + 6) - 0.5f);
            const float body = TileFbm(wu, wv, 3, 6, kSeed + 1);
            const float ridges = TileRidged(wu, wv, 4, 5, kSeed + 2);
            const CellSample cracks = TileCells(wu, wv, 4, kSeed + 3);
            const float cracked = SmoothStep(0.45f, 0.6f, TileFbm(u, v, 4, 3, kSeed + 7));
            const float crack = cracked * (1.0f - SmoothStep(0.0f, 0.04f, cracks.secondNearest - cracks.nearest));
            const float strata = 0.5f + 0.5f * std::sin(2.0f * kPi * (4.0f * v + 1.5f * body));
            const float height = 0.55f * body + 0.4f * ridges - 0.25f * crack;
            heights.At(x, y) = height;
            const float tone = Clamp01(1.6f * (height - 0.2f) + 0.1f * strata);
            const float mottling = 0.88f + 0.24f * TileFbm(u, v, 32, 3, kSeed + 4);
            albedo.At(x, y) = Scale(stone(tone), mottling * (1.0f - 0.4f * crack));
        }
    return LitImage(std::move(albedo), heights, 24.0f);
}

RgbImage MakeWoodPlanks(int size) {
    constexpr std::uint32_t kSeed = 1500;
    constexpr int kGap = 2;
    constexpr float kNailInset = 7.0f;
    const int plankHeight = size / 8;
    const int plankLength = size / 2;
    const Ramp wood({{0.0f, Rgb(104, 66, 36)}, {0.5f, Rgb(150, 102, 58)}, {1.0f, Rgb(190, 140, 86)}});
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const int row = y / plankHeight;
            const int shift = static_cast<int>(Hash(row, 0, kSeed) % 4) * (plankLength / 4);
            const int along = (x + size - shift) % size;
            const int plank = along / plankLength;
            const float lx = along % plankLength + 0.5f;
            const float ly = y % plankHeight + 0.5f;
            const float faceLength = static_cast<float>(plankLength - kGap);
            const float faceWidth = static_cast<float>(plankHeight - kGap);
            const float edge = std::min(std::min(lx, faceLength - lx), std::min(ly, faceWidth - ly));
            const std::uint32_t plankSeed = Hash(plank, row, kSeed);
            const float rings = TileFbm(u, v, 1, 8, 4, plankSeed) * 24.0f;
            const float ring = std::fabs(2.0f * (rings - std::floor(rings)) - 1.0f);
            const float fibres = TileNoise(u, v, 8, 256, plankSeed + 1);
            const float tone = 0.25f + 0.5f * HashUnit(plank, row, kSeed + 2) + 0.55f * (ring - 0.5f);
            Colour colour = Scale(wood(Clamp01(tone)), 0.8f + 0.4f * fibres);
            const float nailDx = std::min(std::fabs(lx - kNailInset), std::fabs(lx - (faceLength - kNailInset)));
            const float nail = std::min(std::hypot(nailDx, ly - faceWidth * 0.3f), std::hypot(nailDx, ly - faceWidth * 0.7f));
            float height = 0.6f * SmoothStep(0.0f, 2.5f, edge) + 0.08f * ring + 0.05f * fibres;
            if (nail < 1.8f) {
                colour = Rgb(70, 66, 62);
                height += 0.2f;
            }
            if (edge <= 0.0f) colour = Rgb(46, 30, 18);
            albedo.At(x, y) = colour;
            heights.At(x, y) = height;
        }
    return LitImage(std::move(albedo), heights, 5.0f);
}

RgbImage MakeAlienWall(int size) {
    constexpr std::uint32_t kSeed = 1600;
    constexpr float kWarp = 0.07f;
    const Ramp flesh({{0.0f, Rgb(118, 58, 90)}, {0.5f, Rgb(164, 96, 124)}, {1.0f, Rgb(204, 146, 160)}});
    const Colour veinColour = Rgb(96, 24, 66);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const float wu = u + kWarp * (TileFbm(u, v, 3, 4, kSeed + 1) - 0.5f) * 2.0f;
            const float wv = v + kWarp * (TileFbm(u, v, 3, 4, kSeed + 2) - 0.5f) * 2.0f;
            const CellSample cells = TileCells(wu, wv, 6, kSeed + 3);
            const float border = cells.secondNearest - cells.nearest;
            const float vein = 1.0f - SmoothStep(0.0f, 0.14f, border);
            const float bulge = std::sqrt(Clamp01(1.0f - cells.nearest / 0.75f));
            const CellSample small = TileCells(u, v, 32, kSeed + 4);
            const bool hasPore = HashUnit(static_cast<int>(small.id), 3, kSeed) < 0.3f;
            const float pore = hasPore ? 1.0f - SmoothStep(0.07f, 0.18f, small.nearest) : 0.0f;
            const float fine = TileFbm(u, v, 16, 4, kSeed + 5);
            const float veinTube = std::sqrt(Clamp01(1.0f - border / 0.14f));
            heights.At(x, y) = 0.6f * bulge + 0.45f * veinTube + 0.12f * fine - 0.3f * pore;
            Colour colour = Mix(flesh(Clamp01(0.2f + 0.6f * bulge + 0.4f * (fine - 0.5f))), veinColour, vein);
            colour = Scale(colour, 1.0f - 0.5f * pore);
            albedo.At(x, y) = colour;
        }
    return LitGlossyImage(std::move(albedo), heights, 8.0f, 8.0f, 20.0f, Rgb(230, 200, 220));
}

RgbImage MakeTechWall(int size) {
    constexpr std::uint32_t kSeed = 1700;
    constexpr int kSeam = 6;
    constexpr float kPipeRadius = 7.0f;
    constexpr float kSlotPitch = 8.0f;
    constexpr float kSlotHeight = 4.0f;
    const BlockLayout layout{size / 2, size, kSeam, 0, size};
    const int panelWidth = size / 2 - kSeam;
    const float pipeRows[] = {size * 0.69f, size * 0.77f};
    const float clampSpacing = size / 4.0f;
    const float ventTop = size * 0.1f, ventBottom = size * 0.3f;
    const float ventHalfWidth = size * 0.16f;
    const Colour panelColour = Rgb(112, 122, 134);
    const Colour pipeColour = Rgb(178, 146, 84);
    FloatMap heights(size, size);
    ColourMap albedo(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float u = Unit(x, size), v = Unit(y, size);
            const BlockSample panel = SampleBlocks(x, y, layout, kSeed);
            const float grime = TileFbm(u, v, 4, 5, kSeed + 1);
            const float brushed = TileFbm(u, v, 128, 2, 3, kSeed + 2);
            float height = 0.5f * SmoothStep(0.0f, 5.0f, panel.edgeDistance) + 0.03f * brushed;
            float shade = (0.8f + 0.35f * grime) * (0.92f + 0.16f * brushed);
            Colour colour = panelColour;
            if (panel.edgeDistance <= 0.0f) shade *= 0.4f;
            const float fromCentre = std::fabs(panel.localX - static_cast<float>(panelWidth) / 2.0f);
            const float slotPhase = std::fmod(y + 0.5f - ventTop, kSlotPitch);
            const bool inVent = y + 0.5f >= ventTop && y + 0.5f < ventBottom && fromCentre < ventHalfWidth;
            if (inVent && slotPhase < kSlotHeight) {
                height -= 0.4f;
                shade *= 0.35f;
            }
            for (float row : pipeRows) {
                const float across = std::fabs(y + 0.5f - row);
                const float pipe = Dome(across, 0.0f, kPipeRadius);
                if (pipe > 0.0f) {
                    const bool clamp = WrappedDelta(x + 0.5f, clampSpacing / 2, clampSpacing) < 3.0f;
                    colour = clamp ? Rgb(90, 94, 100) : pipeColour;
                    shade = (0.85f + 0.3f * grime) * (clamp ? 1.1f : 1.0f);
                    height = 0.8f + 0.6f * pipe + (clamp ? 0.15f : 0.0f);
                }
            }
            albedo.At(x, y) = Scale(colour, shade);
            heights.At(x, y) = height;
        }
    return LitGlossyImage(std::move(albedo), heights, 6.0f, 6.0f, 10.0f, Rgb(120, 120, 110));
}

}  // namespace texgen
